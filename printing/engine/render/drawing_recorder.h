#pragma once

// The librevenge drawing interface that libvisio calls while parsing: it turns every call into
// display-list items of the page being recorded.

#include <librevenge/librevenge.h>

#include <memory>

#include "printing/engine/render/display_list.h"
#include "printing/engine/render/picture_decoder.h"

namespace pbp::render {

class TextBuilder;

class DrawingRecorder : public librevenge::RVNGDrawingInterface {
  public:
    explicit DrawingRecorder(DrawingContent& out);
    ~DrawingRecorder() override;

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

    DrawingContent& out_;
    Page* page_ = nullptr;
    std::shared_ptr<const Style> style_;
    bool styleHidden_ = false;
    std::vector<bool> layerHidden_;  // one entry per open layer or group
    std::unique_ptr<TextBuilder> text_;
    PictureDecoder pictures_;
};

}  // namespace pbp::render
