#include "printing/engine/page_cells.h"

#include "printing/engine/engine_document.h"
#include "printing/engine/engine_errors.h"
#include "printing/engine/print_orientation.h"
#include "printing/engine/sheet_layout.h"

namespace pbp::visio {

namespace {

enum class CellKind { PageWidth, PageHeight, PrintPageOrientation };

class PageCell : public Cell {
  public:
    PageCell(std::shared_ptr<EngineDocument> document, int index, CellKind kind, QString name)
        : document_(std::move(document)), index_(index), kind_(kind), name_(std::move(name)) {}

    QString Formula() const override {
        const DrawingPage& page = document_->page(index_);
        switch (kind_) {
            case CellKind::PageWidth:
                return QString::number(page.widthInches) + QStringLiteral(" in");
            case CellKind::PageHeight:
                return QString::number(page.heightInches) + QStringLiteral(" in");
            case CellKind::PrintPageOrientation:
                return orientationFormula(page.orientation);
        }
        return {};
    }

    void SetFormula(const QString& formula) override {
        DrawingPage& page = document_->page(index_);
        const std::optional<double> value = formulaValue(formula);
        if (!value)
            throw VbError(
                engine_error::kInvalidArgument,
                QStringLiteral("'%1' is not a valid formula for the cell %2.").arg(formula, name_));
        switch (kind_) {
            case CellKind::PageWidth:
                page.widthInches = *value;
                break;
            case CellKind::PageHeight:
                page.heightInches = *value;
                break;
            case CellKind::PrintPageOrientation:
                page.orientation = parsePrintOrientation(formula);
                break;
        }
    }

    double ResultIU() const override {
        const DrawingPage& page = document_->page(index_);
        switch (kind_) {
            case CellKind::PageWidth:
                return page.widthInches;
            case CellKind::PageHeight:
                return page.heightInches;
            case CellKind::PrintPageOrientation:
                return double(page.orientation);
        }
        return 0;
    }

  private:
    std::shared_ptr<EngineDocument> document_;
    int index_;
    CellKind kind_;
    QString name_;
};

class PageSheetShape : public Shape {
  public:
    PageSheetShape(std::shared_ptr<EngineDocument> document, int index)
        : document_(std::move(document)), index_(index) {}

    std::shared_ptr<Cell> Cells(const QString& name) override {
        document_->page(index_);
        CellKind kind;
        if (name == QLatin1String("PageWidth"))
            kind = CellKind::PageWidth;
        else if (name == QLatin1String("PageHeight"))
            kind = CellKind::PageHeight;
        else if (name == QLatin1String("PrintPageOrientation"))
            kind = CellKind::PrintPageOrientation;
        else
            throw VbError(engine_error::kInvalidArgument,
                          QStringLiteral("The page sheet has no cell named '%1'.").arg(name));
        return std::make_shared<PageCell>(document_, index_, kind, name);
    }

  private:
    std::shared_ptr<EngineDocument> document_;
    int index_;
};

class EnginePage : public Page {
  public:
    EnginePage(std::shared_ptr<EngineDocument> document, int index)
        : document_(std::move(document)), index_(index) {}
    qint16 Background() const override { return document_->page(index_).background ? -1 : 0; }
    std::shared_ptr<Shape> PageSheet() override {
        document_->page(index_);
        return std::make_shared<PageSheetShape>(document_, index_);
    }

  private:
    std::shared_ptr<EngineDocument> document_;
    int index_;
};

}  // namespace

std::shared_ptr<Page> makePage(std::shared_ptr<EngineDocument> document, int index) {
    return std::make_shared<EnginePage>(std::move(document), index);
}

}  // namespace pbp::visio
