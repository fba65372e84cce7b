<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>DrawingTypes</name>
    <message>
        <source>Visio drawings (%1)|%1|</source>
        <translation>Visio-Zeichnungen (%1)|%1|</translation>
    </message>
    <message>
        <source>All files (*)|*</source>
        <translation>Alle Dateien (*)|*</translation>
    </message>
</context>
<context>
    <name>ErrorHandling</name>
    <message>
        <source>Problem in %1.%2<byte value="xd"/>
Error Number: %3<byte value="xd"/>
Error Description: %4</source>
        <translation>Problem in %1.%2<byte value="xd"/>
Fehlernummer: %3<byte value="xd"/>
Fehlerbeschreibung: %4</translation>
    </message>
</context>
<context>
    <name>KeptList</name>
    <message>
        <source>not a list of this program</source>
        <translation>keine Liste dieses Programms</translation>
    </message>
    <message>
        <source>an entry without a path</source>
        <translation>ein Eintrag ohne Pfad</translation>
    </message>
    <message>
        <source>not a regular file of at most 256 MB</source>
        <translation>keine reguläre Datei von höchstens 256 MB</translation>
    </message>
    <message>
        <source>The kept list %1 could not be read (%2) nor set aside; the list starts empty.</source>
        <translation>Die gespeicherte Liste %1 konnte nicht gelesen (%2) und auch nicht beiseitegelegt werden; die Liste beginnt leer.</translation>
    </message>
    <message>
        <source>The kept list %1 could not be read (%2). It was kept as %3, and the list starts empty.</source>
        <translation>Die gespeicherte Liste %1 konnte nicht gelesen werden (%2). Sie wurde als %3 aufbewahrt, und die Liste beginnt leer.</translation>
    </message>
</context>
<context>
    <name>PathDialog</name>
    <message>
        <source>PlenPrint - Batch</source>
        <translation>PlenPrint - Stapeldruck</translation>
    </message>
</context>
<context>
    <name>PrintCommand</name>
    <message>
        <source>There are no documents selected to print.</source>
        <translation>Es sind keine Dokumente zum Drucken ausgewählt.</translation>
    </message>
    <message>
        <source>There must be at least one copy to print.</source>
        <translation>Es muss mindestens eine Kopie gedruckt werden.</translation>
    </message>
    <message>
        <source>PlenPrint was unable to start Visio.  Contact your system administrator.</source>
        <translation>PlenPrint konnte Visio nicht starten. Wenden Sie sich an Ihren Systemadministrator.</translation>
    </message>
</context>
<context>
    <name>StartUp</name>
    <message>
        <source>The job file %1 gives no drawings: %2.</source>
        <translation>Die Auftragsdatei %1 liefert keine Zeichnungen: %2.</translation>
    </message>
    <message>
        <source>The job file %1 names no drawings.</source>
        <translation>Die Auftragsdatei %1 nennt keine Zeichnungen.</translation>
    </message>
</context>
<context>
    <name>StatusTexts</name>
    <message>
        <source>Opening %1 (%2 of %3)</source>
        <translation>Öffne %1 (%2 von %3)</translation>
    </message>
    <message>
        <source>Printing file (%1 of %2)</source>
        <translation>Drucke Datei (%1 von %2)</translation>
    </message>
    <message>
        <source>Closing file (%1 of %2)</source>
        <translation>Schließe Datei (%1 von %2)</translation>
    </message>
</context>
<context>
    <name>StringTable</name>
    <message>
        <source>About PlenBatchPrint</source>
        <translation>Über PlenBatchPrint</translation>
    </message>
    <message>
        <source>PlenBatchPrint (%s)</source>
        <translation>PlenBatchPrint (%s)</translation>
    </message>
    <message>
        <source>Copyright © PlenBatchPrint developers. Free software for printing technical drawings, released under the MIT licence.</source>
        <translation>Copyright © PlenBatchPrint-Entwickler. Freie Software zum Drucken technischer Zeichnungen, veröffentlicht unter der MIT-Lizenz.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>This program is provided as is, without warranty of any kind. Always check printed drawings against their source files before relying on them; the authors are not liable for any damage arising from its use.</source>
        <translation>Dieses Programm wird ohne Mängelgewähr und ohne jegliche Garantie bereitgestellt. Prüfen Sie gedruckte Zeichnungen stets anhand ihrer Quelldateien, bevor Sie sich auf sie verlassen; die Autoren haften nicht für Schäden, die aus seiner Verwendung entstehen.</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Contents..</source>
        <translation>&amp;Inhalt...</translation>
    </message>
    <message>
        <source>&amp;About PlenBatchPrint...</source>
        <translation>Ü&amp;ber PlenBatchPrint...</translation>
    </message>
    <message>
        <source>PlenBatchPrint MenuBar</source>
        <translation>PlenBatchPrint-Menüleiste</translation>
    </message>
    <message>
        <source>&amp;Import Batch...</source>
        <translation>Stapelliste &amp;importieren...</translation>
    </message>
    <message>
        <source>&amp;Export Batch...</source>
        <translation>Stapelliste &amp;exportieren...</translation>
    </message>
    <message>
        <source>Open &amp;PDF Folder</source>
        <translation>&amp;PDF-Ordner öffnen</translation>
    </message>
    <message>
        <source>&amp;Clear List</source>
        <translation>Liste &amp;leeren</translation>
    </message>
    <message>
        <source>Ed&amp;it</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>Select &amp;Failed</source>
        <translation>&amp;Fehlgeschlagene auswählen</translation>
    </message>
    <message>
        <source>Print Failed &amp;Again</source>
        <translation>Fehlgeschlagene &amp;erneut drucken</translation>
    </message>
    <message>
        <source>P&amp;rint</source>
        <translation>&amp;Drucken</translation>
    </message>
    <message>
        <source>Visio Document (*.vsd; *.vst; *.vdx; *.vtx)|*.vsd; *.vst; *.vdx; *.vtx</source>
        <translation>Visio-Dokument (*.vsd; *.vst; *.vdx; *.vtx)|*.vsd; *.vst; *.vdx; *.vtx</translation>
    </message>
    <message>
        <source>You have exceeded the maximum allowed file size.  Try selecting fewer files.</source>
        <translation>Sie haben die höchstens zulässige Dateigröße überschritten. Wählen Sie weniger Dateien aus.</translation>
    </message>
    <message>
        <source>For Visio consulting, custom development, and training visit</source>
        <translation>Visio-Beratung, Entwicklung und Schulungen finden Sie unter</translation>
    </message>
    <message>
        <source>For more Visio tools and shapes visit</source>
        <translation>Weitere Visio-Werkzeuge und -Shapes finden Sie unter</translation>
    </message>
</context>
<context>
    <name>pbp::FileListGrid</name>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Sheets</source>
        <translation>Blätter</translation>
    </message>
</context>
<context>
    <name>pbp::PrinterPropertiesDialog</name>
    <message>
        <source>&amp;Paper:</source>
        <translation>&amp;Papier:</translation>
    </message>
    <message>
        <source>Paper &amp;source:</source>
        <translation>Papier&amp;zufuhr:</translation>
    </message>
    <message>
        <source>&amp;Two-sided:</source>
        <translation>&amp;Beidseitig:</translation>
    </message>
    <message>
        <source>&amp;Colour:</source>
        <translation>&amp;Farbe:</translation>
    </message>
    <message>
        <source>&amp;Quality:</source>
        <translation>&amp;Qualität:</translation>
    </message>
    <message>
        <source>Each drawing&apos;s own paper</source>
        <translation>Papier der jeweiligen Zeichnung</translation>
    </message>
    <message>
        <source>Printer default</source>
        <translation>Druckerstandard</translation>
    </message>
    <message>
        <source>Printer default (%1)</source>
        <translation>Druckerstandard (%1)</translation>
    </message>
    <message>
        <source>Properties of %1</source>
        <translation>Eigenschaften von %1</translation>
    </message>
    <message>
        <source>This printer offers no options.</source>
        <translation>Dieser Drucker bietet keine Optionen.</translation>
    </message>
</context>
<context>
    <name>pbp::SheetPreviewPane</name>
    <message>
        <source>landscape</source>
        <translation>Querformat</translation>
    </message>
    <message>
        <source>portrait</source>
        <translation>Hochformat</translation>
    </message>
    <message>
        <source>%1, %2, %3 %</source>
        <translation>%1, %2, %3 %</translation>
    </message>
    <message>
        <source>Preview of the selected drawing</source>
        <translation>Vorschau der ausgewählten Zeichnung</translation>
    </message>
    <message>
        <source>No drawing is selected.</source>
        <translation>Keine Zeichnung ausgewählt.</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>Seite %1 von %2</translation>
    </message>
</context>
<context>
    <name>pbp::SheetWorker</name>
    <message>
        <source>the drawing took longer than %1 s to read</source>
        <translation>das Lesen der Zeichnung dauerte länger als %1 s</translation>
    </message>
    <message>
        <source>reading the drawing stopped the reader</source>
        <translation>das Lesen der Zeichnung hat das Leseprogramm beendet</translation>
    </message>
    <message>
        <source>the drawing needed more than %1 MiB of memory to read</source>
        <translation>zum Lesen der Zeichnung waren mehr als %1 MiB Speicher nötig</translation>
    </message>
    <message>
        <source>reading the drawing stopped the reader (%1)</source>
        <translation>das Lesen der Zeichnung hat das Leseprogramm beendet (%1)</translation>
    </message>
    <message>
        <source>no answer</source>
        <translation>keine Antwort</translation>
    </message>
    <message>
        <source>reading the drawing made the reader send nonsense</source>
        <translation>das Lesen der Zeichnung ließ das Leseprogramm unsinnige Daten senden</translation>
    </message>
</context>
<context>
    <name>pbp::frmAbout</name>
    <message>
        <source>Build %1.%2.%3</source>
        <translation>Build %1.%2.%3</translation>
    </message>
</context>
<context>
    <name>pbp::frmPlenPrintBatch</name>
    <message>
        <source>Export Batch</source>
        <translation>Stapelliste exportieren</translation>
    </message>
    <message>
        <source>Comma Seperated Values (*.csv)|*.csv</source>
        <translation>Kommagetrennte Werte (*.csv)|*.csv</translation>
    </message>
    <message>
        <source>Import Batch</source>
        <translation>Stapelliste importieren</translation>
    </message>
    <message>
        <source>Comma Seperated Values (*.csv; *.txt)|*.csv; *.txt</source>
        <translation>Kommagetrennte Werte (*.csv; *.txt)|*.csv; *.txt</translation>
    </message>
    <message>
        <source>The batch list %1 gives no drawings: %2.</source>
        <translation>Die Stapelliste %1 liefert keine Zeichnungen: %2.</translation>
    </message>
    <message>
        <source>Drawings to print</source>
        <translation>Zu druckende Zeichnungen</translation>
    </message>
    <message>
        <source>Status of the selected drawing</source>
        <translation>Status der ausgewählten Zeichnung</translation>
    </message>
    <message>
        <source>&amp;Add File(s)...</source>
        <translation>Hin&amp;zufügen...</translation>
    </message>
    <message>
        <source>&amp;Remove File(s)</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>Move &amp;Up</source>
        <translation>Nach &amp;oben</translation>
    </message>
    <message>
        <source>Move &amp;Down</source>
        <translation>Nach &amp;unten</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>Dru&amp;cken</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>Items selected to print: </source>
        <translation>Zum Drucken ausgewählte Einträge: </translation>
    </message>
    <message>
        <source>The list is empty</source>
        <translation>Die Liste ist leer</translation>
    </message>
    <message>
        <source>Copies must be a number from 1 to 999</source>
        <translation>Die Anzahl der Kopien muss eine Zahl von 1 bis 999 sein</translation>
    </message>
    <message>
        <source>No printer is chosen</source>
        <translation>Kein Drucker ausgewählt</translation>
    </message>
    <message>
        <source>The list is being printed</source>
        <translation>Die Liste wird gerade gedruckt</translation>
    </message>
    <message>
        <source>System default printer</source>
        <translation>Standarddrucker des Systems</translation>
    </message>
    <message>
        <source>Print Options</source>
        <translation>Druckoptionen</translation>
    </message>
    <message>
        <source>Propert&amp;ies…</source>
        <translation>Ei&amp;genschaften…</translation>
    </message>
    <message>
        <source>&amp;Target Printer</source>
        <translation>Zieldruc&amp;ker</translation>
    </message>
    <message>
        <source>C&amp;opies</source>
        <translation>Ko&amp;pien</translation>
    </message>
    <message>
        <source>Copies of each drawing, 1 to 999</source>
        <translation>Kopien jeder Zeichnung, 1 bis 999</translation>
    </message>
    <message>
        <source>Print &amp;Summary Page</source>
        <translation>Übers&amp;ichtsseite drucken</translation>
    </message>
    <message>
        <source>H&amp;eader:</source>
        <translation>&amp;Titel:</translation>
    </message>
    <message>
        <source>Pages to print</source>
        <translation>Zu druckende Seiten</translation>
    </message>
    <message>
        <source>Print first page o&amp;nly</source>
        <translation>&amp;Nur erste Seite drucken</translation>
    </message>
    <message>
        <source>Print a&amp;ll pages</source>
        <translation>A&amp;lle Seiten drucken</translation>
    </message>
    <message>
        <source>Run finished: %1 of %2 sent to the printer, %3 not printed</source>
        <translation>Druckvorgang beendet: %1 von %2 an den Drucker gesendet, %3 nicht gedruckt</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>Entfe&amp;rnen</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>Öffne&amp;n</translation>
    </message>
    <message>
        <source>Open Containing &amp;Folder</source>
        <translation>&amp;Speicherort öffnen</translation>
    </message>
    <message>
        <source>Select &amp;Failed</source>
        <translation>&amp;Fehlgeschlagene auswählen</translation>
    </message>
    <message>
        <source>Print Failed &amp;Again</source>
        <translation>Fehlgeschlagene &amp;erneut drucken</translation>
    </message>
    <message>
        <source>

Print the drawings all the same?</source>
        <translation>

Die Zeichnungen trotzdem drucken?</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 ist bereits vorhanden.
Möchten Sie die Datei ersetzen?</translation>
    </message>
    <message>
        <source> = %L1 sheets</source>
        <translation> = %L1 Blätter</translation>
    </message>
    <message>
        <source> (%L1 sheets in the %2 counted so far)</source>
        <translation> (%L1 Blätter in den %2 bisher gezählten)</translation>
    </message>
    <message>
        <source>Save as One PDF</source>
        <translation>Als eine PDF-Datei speichern</translation>
    </message>
    <message>
        <source>Drawings.pdf</source>
        <translation>Zeichnungen.pdf</translation>
    </message>
    <message>
        <source>PDF documents (*.pdf)</source>
        <translation>PDF-Dokumente (*.pdf)</translation>
    </message>
    <message>
        <source>saved as one PDF: %1</source>
        <translation>als eine PDF-Datei gespeichert: %1</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Preview</source>
        <translation>&amp;Vorschau</translation>
    </message>
    <message>
        <source>No drawing is selected.</source>
        <translation>Keine Zeichnung ausgewählt.</translation>
    </message>
    <message>
        <source>No printer is chosen.</source>
        <translation>Kein Drucker ausgewählt.</translation>
    </message>
    <message>
        <source>Reading %1 ...</source>
        <translation>%1 wird gelesen ...</translation>
    </message>
    <message>
        <source>Save as One P&amp;DF...</source>
        <translation>Al&amp;s eine PDF-Datei speichern...</translation>
    </message>
</context>
<context>
    <name>pbp::frmStatus</name>
    <message>
        <source>PlenPrint - Batch Printing Status</source>
        <translation>PlenPrint - Status des Stapeldrucks</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Cancel the print run?

Drawings already sent to the printer stay in its queue; the others are not printed.</source>
        <translation>Den Druckvorgang abbrechen?

Bereits an den Drucker gesendete Zeichnungen bleiben in seiner Warteschlange; die übrigen werden nicht gedruckt.</translation>
    </message>
    <message>
        <source>Cancelling the run...</source>
        <translation>Druckvorgang wird abgebrochen...</translation>
    </message>
</context>
</TS>
