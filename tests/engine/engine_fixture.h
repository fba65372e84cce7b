#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "printing/engine/engine_factory.h"
#include "printing/printers/printer_system.h"
#include "support/vb_error.h"
#include "tests/common/fake_printers.h"
#include "tests/common/pdf_tools.h"
#include "tests/common/raised.h"
#include "tests/common/test_paths.h"

namespace pbp::test {

// The built worker, or the one with test hooks, with short bounds that tests can outlast.
inline visio::WorkerSettings testWorkerSettings(bool hostile = false) {
    visio::WorkerSettings settings;
    settings.program =
        QString::fromUtf8(hostile ? PLEN_HOSTILE_WORKER_EXECUTABLE : PLEN_WORKER_EXECUTABLE);
    settings.workers = 2;
    settings.timeLimit = std::chrono::seconds(5);
    settings.memoryLimitMiB = 1024;
    return settings;
}

// An engine application printing to `Printers`, its workers bounded by `settings`.
template <class Printers>
struct TestEngine {
    explicit TestEngine(visio::WorkerSettings settings = testWorkerSettings())
        : factory(printers, [settings] { return settings; }) {}
    Printers printers;
    LibVisioEngineFactory factory;
    std::unique_ptr<visio::Application> app =
        factory.CreateObject(QStringLiteral("Visio.InvisibleApp"));
};

// A test on one such engine.
template <class Printers>
class EngineOn : public ::testing::Test, protected TestEngine<Printers> {
  protected:
    using TestEngine<Printers>::app;
    using TestEngine<Printers>::printers;

    std::shared_ptr<visio::Document> open(const QString& path) {
        return app->Documents()->Open(path);
    }

    void print(visio::Document& doc, int from, int to, const QString& printer, int copies = 1) {
        doc.PrintOut(visio::visPrintFromTo, qint16(from), qint16(to), false, printer, false,
                     QString(), qint16(copies), false, false);
    }

    // Description of the error `body` throws; empty when it throws none.
    QString errorOf(const std::function<void()>& body) {
        const VbError error = raised(body);
        EXPECT_NE(error.number(), 0);
        return error.description();
    }

    QTemporaryDir dir;
};

using EngineCase = EngineOn<FakePrinters>;

}  // namespace pbp::test
