// Cancelling through the controller: at each moment of a job, and a job stuck where it never
// sees the request. Jobs run the real engine behind a gate that holds them at a chosen
// progress point, so that the cancel lands exactly there.
#include "core/cfr.h"
#include "jobs/cfr_worker.h"
#include "jobs/pack_controller.h"
#include "jobs/pack_function.h"

#include "job_fixtures.h"
#include "test_support.h"

#include <QDir>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <memory>

namespace {

// Holds the job at its first report at or beyond `at` until released; it does not look at
// the cancel request meanwhile, as a stuck library call would not.
struct Gate {
    double at = 0;
    QSemaphore reached;
    QSemaphore released;
    std::atomic<bool> passed{false};
    std::atomic<int> reportsAfter{0};
};
Gate* gate = nullptr;

struct Relay {
    cfr::ProgressFn fn;
    void* context;
    cfr::CancelFn cancel;
};

void gatedProgress(void* context, double fraction) {
    const auto* relay = static_cast<Relay*>(context);
    if (gate->passed)
        ++gate->reportsAfter;
    else if (fraction >= gate->at) {
        gate->reached.release();
        gate->released.acquire();
        gate->passed = true;
    }
    relay->fn(relay->context, fraction);
}

int relayedCancel(void* context) {
    const auto* relay = static_cast<Relay*>(context);
    return relay->cancel(relay->context);
}

int gatedPack(const char* const* inputs, int count, const char* dest, const char* password,
              cfr::ProgressFn fn, void* context, cfr::CancelFn cancel) {
    Relay relay{fn, context, cancel};
    return cfr::pack(inputs, count, dest, password, gatedProgress, &relay, relayedCancel);
}

enum class Moment { Idle, FirstRound, SecondRound, Twice, Ended };

} // namespace

Q_DECLARE_METATYPE(Moment)

class JobCancelTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(engineTemp_.isValid());
        cfr::setTempDir(engineTemp_.path().toUtf8().constData());
    }

    void init() {
        QVERIFY(dir_.isValid());
        input_ = dir_.filePath("in");
        QVERIFY(testing::writeFile(input_ + "/bulk.bin", testing::noiseBytes(3 * 1024 * 1024)));
        dest_ = dir_.filePath("out/archive.cfr");
        QVERIFY(testing::writeFile(dest_, "the archive being replaced"));
        gate_ = std::make_unique<Gate>();
        gate = gate_.get();
        setPackFunction(gatedPack);
    }

    void cleanup() {
        // Whatever a test left held is let go before the next one starts.
        gate_->released.release(100);
        QVERIFY(QTest::qWaitFor([] { return CfrWorker::jobsRunning() == 0; }, 60000));
        setPackFunction(nullptr);
        gate = nullptr;
        gate_.reset();
        QCOMPARE(fixtures::listing(engineTemp_.path()), QStringList());
    }

    void cancelAtEachMoment_data() {
        QTest::addColumn<Moment>("moment");
        QTest::addColumn<bool>("stops");
        QTest::newRow("before the job starts") << Moment::Idle << false;
        QTest::newRow("first round of a package") << Moment::FirstRound << true;
        QTest::newRow("second round of a package") << Moment::SecondRound << true;
        QTest::newRow("twice") << Moment::Twice << true;
        QTest::newRow("after the job ended") << Moment::Ended << false;
    }

    void cancelAtEachMoment() {
        QFETCH(Moment, moment);
        QFETCH(bool, stops);
        PackController controller;
        QSignalSpy cancelled(&controller, &PackController::cancelled);
        QSignalSpy succeeded(&controller, &PackController::packSucceeded);
        QSignalSpy failed(&controller, &PackController::packFailed);
        gate->at = moment == Moment::SecondRound ? 0.51 : 0.0;
        if (!stops)
            gate->released.release(1);
        if (moment == Moment::Idle)
            controller.cancel();

        controller.packPaths({input_}, dest_, "pw");
        if (stops) {
            QVERIFY(QTest::qWaitFor([&] { return gate->reached.tryAcquire(); }, 60000));
            controller.cancel();
            if (moment == Moment::Twice)
                controller.cancel();
            gate->released.release(1);
        }
        if (moment == Moment::Ended) {
            QVERIFY(QTest::qWaitFor([&] { return !controller.isRunning(); }, 60000));
            controller.cancel();
        }
        QVERIFY(QTest::qWaitFor([&] { return !controller.isRunning(); }, 60000));

        QCOMPARE(cancelled.count(), stops ? 1 : 0);
        QCOMPARE(succeeded.count(), stops ? 0 : 1);
        QCOMPARE(failed.count(), 0);
        QStringList left = QDir(dir_.filePath("out")).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(left, QStringList{"archive.cfr"});
        if (!stops)
            return;
        QCOMPARE(testing::readFile(dest_), QByteArray("the archive being replaced"));
        QCOMPARE(controller.statusText(), QString("Cancelled"));
        // Stopped at the next cancellation point, not at the end of the job.
        QVERIFY2(gate->reportsAfter <= 1, qPrintable(QString::number(gate->reportsAfter)));
    }

    // The job never looks at the request: the controller lets it go, and when it ends at
    // last, nothing of it reaches the interface and its output is gone.
    void stuckJobIsAbandoned() {
        PackController controller;
        QSignalSpy cancelled(&controller, &PackController::cancelled);
        QSignalSpy succeeded(&controller, &PackController::packSucceeded);
        QSignalSpy failed(&controller, &PackController::packFailed);
        controller.packPaths({input_}, dest_, "pw");
        QVERIFY(QTest::qWaitFor([&] { return gate->reached.tryAcquire(); }, 60000));
        controller.cancel();

        // Generous: the point is that the interface is freed while the job is still held.
        QVERIFY(QTest::qWaitFor([&] { return !controller.isRunning(); }, 30000));
        QVERIFY(!gate->passed);
        QCOMPARE(cancelled.count(), 1);

        // A new job runs while the abandoned one is still held.
        setPackFunction(nullptr);
        const QString next = dir_.filePath("next.tar");
        controller.packPaths({input_}, next, QString());
        QVERIFY(controller.isRunning());
        QVERIFY(QTest::qWaitFor([&] { return !controller.isRunning(); }, 60000));
        QCOMPARE(succeeded.count(), 1);

        gate->released.release(1);
        QVERIFY(QTest::qWaitFor([] { return CfrWorker::jobsRunning() == 0; }, 60000));
        QCoreApplication::processEvents();
        QCOMPARE(succeeded.count(), 1);
        QCOMPARE(failed.count(), 0);
        QCOMPARE(cancelled.count(), 1);
        QCOMPARE(testing::readFile(dest_), QByteArray("the archive being replaced"));
        QCOMPARE(QDir(dir_.filePath("out")).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"archive.cfr"});
        QCOMPARE(testing::runTool("bsdtar", {"-tf", next}).exitCode, 0);
    }

private:
    QTemporaryDir engineTemp_;
    QTemporaryDir dir_;
    QString input_;
    QString dest_;
    std::unique_ptr<Gate> gate_;
};

QTEST_GUILESS_MAIN(JobCancelTest)
#include "tst_job_cancel.moc"
