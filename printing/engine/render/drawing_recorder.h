#pragma once

// The librevenge drawing interface that libvisio calls while parsing: it turns every call into
// display-list items of the page being recorded. A drawing that asks for more pages or more
// recorded content than any printout holds stops the recording (see limitExceeded).

#include <librevenge/librevenge.h>

#include <QString>
#include <memory>
#include <stdexcept>

#include "printing/engine/render/display_list.h"
#include "printing/engine/render/glyph_coverage.h"
#include "printing/engine/render/picture_decoder.h"

namespace pbp::render {

class TextBuilder;

// Thrown into libvisio to stop a recording that passed a bound. libvisio may swallow it, so
// the recorder also remembers it (DrawingRecorder::limitExceeded).
struct RecordingStopped : std::runtime_error {
    RecordingStopped() : std::runtime_error("recording stopped at a bound") {}
};

// More pages than any drawing printed holds: libvisio can be made to repeat pages without end.
inline constexpr int kMaxRecordedPages = 10000;
// More recorded content (paths, pictures, text) than any printout needs, in bytes.
inline constexpr qint64 kMaxRecordedBytes = qint64(512) << 20;
// Page names are cut to this many characters: longer is no name anyone gave a page.
inline constexpr int kMaxPageNameLength = 1000;

class DrawingRecorder : public librevenge::RVNGDrawingInterface {
  public:
    explicit DrawingRecorder(DrawingContent& out);
    ~DrawingRecorder() override;

    // Why the recording stopped before the drawing's end (the bound it passed, for an error
    // message); empty while within bounds. Once set, everything recorded was dropped.
    const QString& limitExceeded() const { return limitExceeded_; }

    void startDocument(const librevenge::RVNGPropertyList&) override {}
    void endDocument() override {}
    void setDocumentMetaData(const librevenge::RVNGPropertyList&) override {}
    void defineEmbeddedFont(const librevenge::RVNGPropertyList&) override {}
    void startPage(const librevenge::RVNGPropertyList& props) override;
    void endPage() override;
    void startMasterPage(const librevenge::RVNGPropertyList&) override {}
    void endMasterPage() override {}
    void setStyle(const librevenge::RVNGPropertyList& props) override;
    void startLayer(const librevenge::RVNGPropertyList& props) override;
    void endLayer() override;
    void startEmbeddedGraphics(const librevenge::RVNGPropertyList&) override {}
    void endEmbeddedGraphics() override {}
    void openGroup(const librevenge::RVNGPropertyList& props) override { startLayer(props); }
    void closeGroup() override { endLayer(); }

    void drawRectangle(const librevenge::RVNGPropertyList& props) override;
    void drawEllipse(const librevenge::RVNGPropertyList& props) override;
    void drawPolygon(const librevenge::RVNGPropertyList& props) override;
    void drawPolyline(const librevenge::RVNGPropertyList& props) override;
    void drawPath(const librevenge::RVNGPropertyList& props) override;
    void drawGraphicObject(const librevenge::RVNGPropertyList& props) override;
    void drawConnector(const librevenge::RVNGPropertyList& props) override;

    void startTextObject(const librevenge::RVNGPropertyList& props) override;
    void endTextObject() override;
    void startTableObject(const librevenge::RVNGPropertyList&) override {}
    void openTableRow(const librevenge::RVNGPropertyList&) override {}
    void closeTableRow() override {}
    void openTableCell(const librevenge::RVNGPropertyList&) override {}
    void closeTableCell() override {}
    void insertCoveredTableCell(const librevenge::RVNGPropertyList&) override {}
    void endTableObject() override {}
    void insertTab() override;
    void insertSpace() override;
    void insertText(const librevenge::RVNGString& text) override;
    void insertLineBreak() override;
    void insertField(const librevenge::RVNGPropertyList&) override {}
    void openOrderedListLevel(const librevenge::RVNGPropertyList&) override {}
    void openUnorderedListLevel(const librevenge::RVNGPropertyList& props) override;
    void closeOrderedListLevel() override {}
    void closeUnorderedListLevel() override;
    void openListElement(const librevenge::RVNGPropertyList& props) override {
        openParagraph(props);
    }
    void closeListElement() override { closeParagraph(); }
    void defineParagraphStyle(const librevenge::RVNGPropertyList&) override {}
    void openParagraph(const librevenge::RVNGPropertyList& props) override;
    void closeParagraph() override;
    void defineCharacterStyle(const librevenge::RVNGPropertyList&) override {}
    void openSpan(const librevenge::RVNGPropertyList& props) override;
    void closeSpan() override;
    void openLink(const librevenge::RVNGPropertyList&) override {}
    void closeLink() override {}

  private:
    bool recording() const;
    void addPath(QPainterPath path, const librevenge::RVNGPropertyList& props);
    // Counts `bytes` more recorded content; stops the recording beyond the bound.
    void account(qint64 bytes);
    [[noreturn]] void stop(const QString& reason);
    // Notes text of the current page that is not printed (or not whole), and why.
    void noteText(const QString& text, const QString& why);

    DrawingContent& out_;
    Page* page_ = nullptr;
    std::shared_ptr<const Style> style_;
    bool styleHidden_ = false;
    std::vector<bool> layerHidden_;  // one entry per open layer or group
    std::unique_ptr<TextBuilder> text_;
    bool inTextObject_ = false;  // between startTextObject and endTextObject, recorded or not
    PictureDecoder pictures_;
    GlyphCoverage glyphs_;
    qint64 recordedBytes_ = 0;
    QString limitExceeded_;
};

}  // namespace pbp::render
