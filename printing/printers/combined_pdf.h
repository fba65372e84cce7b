#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

namespace pbp::printers {

// Many finished PDF documents joined into one, in the order they were added, with an outline:
// one entry per document (its title) and, below it, one per sheet (its name). Built on libqpdf.
class CombinedPdf {
  public:
    CombinedPdf();
    ~CombinedPdf();
    CombinedPdf(const CombinedPdf&) = delete;
    CombinedPdf& operator=(const CombinedPdf&) = delete;

    // Adds every page of `pdf`, or nothing when it cannot be read (throws VbError then).
    // `sheetNames` names its pages in order; pages beyond them are "Page N".
    void append(const QByteArray& pdf, const QString& title, const QStringList& sheetNames);
    int pageCount() const;
    // Writes the joined document to `path` under a temporary name in the same folder, renamed
    // to `path` only when complete; an existing file there stays as it was until then. Throws
    // VbError naming the file when it cannot be written.
    void write(const QString& path);

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

// Why a PDF cannot be written at `path` (a folder missing or not writable, a name that is a
// folder); empty when it can. Creates nothing that stays.
QString pdfTargetProblem(const QString& path);

}  // namespace pbp::printers
