// Cancelling through the controller at each moment of a package job, and a job stuck where it
// never sees the request. The real engine runs behind a gate that holds the job at its first
// report at or beyond a fraction, blind to the request meanwhile, as a stuck library call is.
#include "core/cfr.h"
#include "jobs/archive_worker.h"
#include "jobs/pack_controller.h"
#include "jobs/pack_function.h"

#include "test_support.h"

#include <QDir>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>

namespace {

double gateAt = 0;
QSemaphore reached, released;
std::atomic<int> reportsAfterGate{-1}; // -1 while the gate has not been passed

cfr::ProgressFn workerProgress = nullptr;

void gatedProgress(void* worker, double fraction) {
    if (reportsAfterGate >= 0)
        ++reportsAfterGate;
    else if (fraction >= gateAt) {
        reached.release();
        released.acquire();
        reportsAfterGate = 0;
    }
    workerProgress(worker, fraction);
}

int gatedPack(const char* const* inputs, int count, const char* dest, const char* password,
              cfr::ProgressFn fn, void* worker, cfr::CancelFn cancel) {
    workerProgress = fn;
    return cfr::pack(inputs, count, dest, password, gatedProgress, worker, cancel);
}

bool idle(const PackController& c) {
    return QTest::qWaitFor([&] { return !c.isRunning(); }, 60000);
}

} // namespace

class JobCancelTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        cfr::setTempDir(engineTemp_.path().toUtf8().constData());
        QVERIFY(testing::writeFile(dir_.filePath("in/bulk.bin"), testing::noiseBytes(3 << 20)));
        QVERIFY(testing::writeFile(dest(), "old"));
        reached.acquire(reached.available());
        released.acquire(released.available());
        reportsAfterGate = -1;
        gateAt = 0;
        setPackFunction(gatedPack);
    }

    void cleanup() {
        released.release(100); // whatever a failed test left held
        QVERIFY(QTest::qWaitFor([] { return ArchiveWorker::jobsRunning() == 0; }, 60000));
        setPackFunction(nullptr);
        QCOMPARE(testing::treeListing(engineTemp_.path()), QStringList());
        QCOMPARE(QDir(dir_.filePath("out")).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"archive.cfr"});
    }

    void cancelAtEachMoment_data() {
        QTest::addColumn<double>("at"); // the gate; negative: cancel while idle, 2: at the end
        QTest::addColumn<int>("cancels");
        QTest::newRow("before the job starts") << -1.0 << 1;
        QTest::newRow("first round of a package") << 0.0 << 1;
        QTest::newRow("second round of a package") << 0.51 << 1;
        QTest::newRow("twice") << 0.0 << 2;
        QTest::newRow("after the job ended") << 2.0 << 1;
    }

    void cancelAtEachMoment() {
        QFETCH(double, at);
        QFETCH(int, cancels);
        const bool stops = at >= 0 && at <= 1;
        PackController controller;
        QSignalSpy cancelled(&controller, &PackController::cancelled);
        QSignalSpy outcomes(&controller, &PackController::packSucceeded);
        gateAt = stops ? at : 2.0;
        if (!stops)
            controller.cancel();
        controller.packPaths({dir_.filePath("in")}, dest(), "pw");
        if (stops)
            QVERIFY(QTest::qWaitFor([] { return reached.tryAcquire(); }, 60000));
        else
            QVERIFY(idle(controller));
        for (int i = 0; i < cancels; ++i)
            controller.cancel();
        released.release();
        QVERIFY(idle(controller));

        QCOMPARE(cancelled.count(), stops ? 1 : 0);
        QCOMPARE(outcomes.count(), stops ? 0 : 1);
        QCOMPARE(testing::readFile(dest()) == "old", stops);
        // Stopped at the next cancellation point, not at the end of the job.
        QVERIFY(!stops || reportsAfterGate <= 1);
        QCOMPARE(controller.statusText() == "Cancelled", stops);
    }

    // Given up on while held; when it ends at last nothing of it reaches the interface, and
    // what it wrote is gone.
    void stuckJobIsAbandoned() {
        PackController controller;
        QSignalSpy cancelled(&controller, &PackController::cancelled);
        QSignalSpy succeeded(&controller, &PackController::packSucceeded);
        QSignalSpy failed(&controller, &PackController::packFailed);
        controller.packPaths({dir_.filePath("in")}, dest(), "pw");
        QVERIFY(QTest::qWaitFor([] { return reached.tryAcquire(); }, 60000));
        controller.cancel();
        QVERIFY(idle(controller));
        QCOMPARE(reportsAfterGate.load(), -1); // free while the job is still held
        QCOMPARE(cancelled.count(), 1);

        setPackFunction(nullptr);
        controller.packPaths({dir_.filePath("in")}, dir_.filePath("next.tar"), QString());
        QVERIFY(controller.isRunning());
        QVERIFY(idle(controller));
        QCOMPARE(succeeded.count(), 1);

        released.release();
        QVERIFY(QTest::qWaitFor([] { return ArchiveWorker::jobsRunning() == 0; }, 60000));
        QCoreApplication::processEvents();
        QCOMPARE(succeeded.count() + failed.count() + cancelled.count(), 2);
        QCOMPARE(testing::readFile(dest()), QByteArray("old"));
    }

private:
    QString dest() const { return dir_.filePath("out/archive.cfr"); }

    QTemporaryDir engineTemp_;
    QTemporaryDir dir_;
};

QTEST_GUILESS_MAIN(JobCancelTest)
#include "tst_job_cancel.moc"
