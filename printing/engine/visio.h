#pragma once

// The drawing engine's automation surface: application, documents, document, pages, page,
// page sheet (shape) and cell. Every failing operation throws pbp::VbError with a number and a
// description that a user understands. Objects handed out are shared handles that stay safe to
// call after the document they belong to was closed (they then throw), so that the engine can
// later move into a separate process behind the same interfaces.

#include <QString>
#include <QStringList>
#include <memory>

#include "support/vb_error.h"

namespace pbp::visio {

class Cell {
  public:
    virtual ~Cell() = default;
    virtual QString Formula() const = 0;
    virtual void SetFormula(const QString& formula) = 0;
    // The cell's result in internal units (inches for lengths).
    virtual double ResultIU() const = 0;
};

// A shape; here only the page sheet, which holds the page's cells.
class Shape {
  public:
    virtual ~Shape() = default;
    // The cell of that name ("PageWidth", "PageHeight", "PrintPageOrientation", ...).
    virtual std::shared_ptr<Cell> Cells(const QString& name) = 0;
};

class Page {
  public:
    virtual ~Page() = default;
    // 0 for a foreground page, non-zero for a background page.
    virtual qint16 Background() const = 0;
    virtual std::shared_ptr<Shape> PageSheet() = 0;
};

// Every page of a document: foreground pages first, then background pages. Indexed from 1.
class Pages {
  public:
    virtual ~Pages() = default;
    virtual int Count() const = 0;
    virtual std::shared_ptr<Page> Item(int index) = 0;
};

inline constexpr qint16 visPrintFromTo = 1;

// Copies for PrintOut that leave the count to the printer's own settings (a CUPS queue's
// default and the user's lpoptions, as with lp); a printer that cannot make copies prints one.
inline constexpr qint16 kPrinterDefaultCopies = 0;

// The error number of a drawing the engine's reader could not finish: it took longer than its
// time limit, needed more than its memory limit, crashed or answered nonsense. The description
// says which ("the drawing took longer than 60 s to read").
inline constexpr qint32 kDrawingReaderFailed = 440;

class Document {
  public:
    virtual ~Document() = default;
    virtual std::shared_ptr<visio::Pages> Pages() = 0;
    // Prints pages fromPage..toPage (1-based over foreground pages) to printerName, in `copies`
    // copies (kPrinterDefaultCopies: as many as the printer's settings say).
    virtual void PrintOut(qint16 printRange, qint16 fromPage, qint16 toPage,
                          bool scaleCurrentViewToPaper, const QString& printerName,
                          bool printToFile, const QString& outputFileName, qint16 copies,
                          bool collate, bool colorAsBlack) = 0;
    // Closes the document, discarding every change made to the opened copy.
    virtual void Close() = 0;
    // What the engine could not draw of the drawing (a picture it cannot decode and the like),
    // one note each; empty when everything was drawn.
    virtual QStringList UndrawnNotes() const { return {}; }
};

// How the drawings about to be opened will be printed, as far as the caller knows.
struct PrintHint {
    QString printerName;
    qint16 copies = 1;
    bool collate = false;
    bool firstPageOnly = false;               // page 1 only, else every foreground page
    bool landscapeShapedPagesTurned = false;  // wider pages set to PrintPageOrientation 2 first
};

class Documents {
  public:
    virtual ~Documents() = default;
    // How the drawings named by the next WillOpen will be printed; a hint only, which lets an
    // engine paint them ahead. Printing works the same with or without it, and whatever is
    // printed in the end.
    virtual void WillPrint(const PrintHint& /*hint*/) {}
    // The drawings about to be opened, in order; a hint only, which an engine may use to read
    // them ahead. Opening works the same with or without it.
    virtual void WillOpen(const QStringList& /*paths*/) {}
    // Opens a drawing; it becomes the application's active document.
    virtual std::shared_ptr<Document> Open(const QString& path) = 0;
};

// The application's settings object; one 16-bit property that a print run switches off.
class ApplicationSettings {
  public:
    virtual ~ApplicationSettings() = default;
    virtual qint16 ShowFileOpenWarnings() const = 0;
    virtual void SetShowFileOpenWarnings(qint16 value) = 0;
};

class Application {
  public:
    virtual ~Application() = default;
    // Handle of the main window; 0 when the engine has no window.
    virtual qint32 WindowHandle32() const = 0;
    virtual std::shared_ptr<visio::Documents> Documents() = 0;
    // The document opened last; throws when no document is open.
    virtual std::shared_ptr<Document> ActiveDocument() = 0;
    virtual qint16 AlertResponse() const = 0;
    virtual void SetAlertResponse(qint16 response) = 0;
    // On/off property (-1 on, 0 off) that a print run switches off.
    virtual qint16 ScreenUpdating() const = 0;
    virtual void SetScreenUpdating(qint16 value) = 0;
    virtual std::shared_ptr<ApplicationSettings> Settings() = 0;
    virtual void Quit() = 0;
};

// Creates applications by program identifier ("Visio.InvisibleApp", "Visio.Application").
class EngineFactory {
  public:
    virtual ~EngineFactory() = default;
    // nullptr when the application cannot be created.
    virtual std::unique_ptr<Application> CreateObject(const QString& programId) = 0;
};

}  // namespace pbp::visio
