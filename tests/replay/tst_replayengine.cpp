// The replay engine on the virtual clock: status and buttons, loop and single
// pass, stepping, the slider, the interval buttons and their repeat.

#include "app/appstate.h"
#include "platform/clock.h"
#include "replay/replayengine.h"

#include <QtTest>

#include <memory>

class TestReplayEngine : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void startRunsTheFrameClock();
    void loopWrapsAtTheEnd();
    void singlePassPausesOnTheLastFrame();
    void restartedSinglePassDrawsTheLastFrame_data();
    void restartedSinglePassDrawsTheLastFrame();
    void stepping_data();
    void stepping();
    void nextFrameWhileReplayingPauses();
    void lastFrameFromStopInSingleModePauses();
    void stopGoesBackToTheFirstFrame();
    void buttonsFollowTheStatus();
    void loopTogglePictures();
    void sliderDragPausesAndResumes();
    void startWithoutFileDoesNothing();
    void intervalPressSteps_data();
    void intervalPressSteps();
    void intervalHoldRepeats();
    void intervalReachesTheClock_data();
    void intervalReachesTheClock();

private:
    ReplayInfo &rec() { return app().Sheet.Replays[2]; }
    void load(int frames, bool loop);

    VirtualClock clock_;
    std::unique_ptr<ReplayEngine> engine_;
    int redraws_ = 0;
    QList<qint16> drawnFrames_;
};

void TestReplayEngine::init()
{
    resetApp();
    setAppClock(&clock_);
    engine_ = std::make_unique<ReplayEngine>(2);
    redraws_ = 0;
    drawnFrames_.clear();
    engine_->redrawFrame = [this] {
        ++redraws_;
        drawnFrames_.append(rec().CurrentFrame);
    };
}

void TestReplayEngine::cleanup()
{
    engine_.reset();
    setAppClock(nullptr);
}

void TestReplayEngine::load(int frames, bool loop)
{
    ReplayInfo &r = rec();
    r.setNewItemDefaults();
    r.LoopReplay = loop;
    r.FileLoaded = true;
    r.FirstFrame = 1;
    r.FrameCount = qint16(frames);
    r.CurrentFrame = 1;
    r.Samples = QList<qint16>(frames * 1024 + 1, 100);
    engine_->setSliderRange(frames > 1, 1, frames, 1);
}

void TestReplayEngine::startRunsTheFrameClock()
{
    load(5, true);
    engine_->StartReplay();
    QCOMPARE(rec().Status, ReplayInfo::Replaying);
    QVERIFY(rec().ReplayStarted);
    QCOMPARE(engine_->frameClock().interval(), 50);
    QVERIFY(engine_->frameClock().isActive());
    QCOMPARE(drawnFrames_, QList<qint16>({1}));
    clock_.advance(49);
    QCOMPARE(rec().CurrentFrame, qint16(1));
    clock_.advance(1);
    QCOMPARE(rec().CurrentFrame, qint16(2));
    QCOMPARE(engine_->controls.sliderValue, 2);
    clock_.advance(100);
    QCOMPARE(rec().CurrentFrame, qint16(4));
    // Each tick drew its frame through the slider's change event.
    QCOMPARE(drawnFrames_, QList<qint16>({1, 2, 3, 4}));
}

void TestReplayEngine::loopWrapsAtTheEnd()
{
    load(3, true);
    engine_->StartReplay();
    clock_.advance(50 * 5);
    // 1 -> 2 -> 3 -> 1 -> 2 -> 3
    QCOMPARE(rec().CurrentFrame, qint16(3));
    QCOMPARE(rec().Status, ReplayInfo::Replaying);
    clock_.advance(50);
    QCOMPARE(rec().CurrentFrame, qint16(1));
    QCOMPARE(drawnFrames_, QList<qint16>({1, 2, 3, 1, 2, 3, 1}));
}

void TestReplayEngine::singlePassPausesOnTheLastFrame()
{
    load(3, false);
    engine_->StartReplay();
    clock_.advance(100);
    QCOMPARE(rec().CurrentFrame, qint16(3));
    QCOMPARE(rec().Status, ReplayInfo::Paused);
    QVERIFY(!engine_->frameClock().isActive());
    QCOMPARE(drawnFrames_.last(), qint16(3)); // the last frame was drawn before the pause
    clock_.advance(1000);
    QCOMPARE(rec().CurrentFrame, qint16(3));
    // Replay starts again at frame 1.
    engine_->playClicked(ReplayButton::Replay);
    QCOMPARE(rec().CurrentFrame, qint16(1));
    QCOMPARE(rec().Status, ReplayInfo::Replaying);
    clock_.advance(50);
    QCOMPARE(rec().CurrentFrame, qint16(2));
    QCOMPARE(engine_->controls.sliderValue, 2);
}

// A single pass that ended starts again at frame 1; the slider goes with it,
// so that the frame it stood on is drawn when the replay reaches it again.
void TestReplayEngine::restartedSinglePassDrawsTheLastFrame_data()
{
    QTest::addColumn<int>("frames");
    QTest::addColumn<bool>("goToEnd"); // "Go to end" right after the restart, else one tick
    QTest::newRow("two frames, tick") << 2 << false;
    QTest::newRow("two frames, go to end") << 2 << true;
    QTest::newRow("five frames, go to end") << 5 << true;
}

void TestReplayEngine::restartedSinglePassDrawsTheLastFrame()
{
    QFETCH(int, frames);
    QFETCH(bool, goToEnd);
    load(frames, false);
    engine_->StartReplay();
    clock_.advance(50 * (frames - 1));
    QCOMPARE(rec().CurrentFrame, qint16(frames));
    QCOMPARE(rec().Status, ReplayInfo::Paused);
    engine_->playClicked(ReplayButton::Replay);
    QCOMPARE(rec().CurrentFrame, qint16(1));
    QCOMPARE(drawnFrames_.last(), qint16(1));
    if (goToEnd)
        engine_->playClicked(ReplayButton::Last);
    else
        clock_.advance(50);
    QCOMPARE(rec().CurrentFrame, qint16(frames));
    QCOMPARE(drawnFrames_.last(), qint16(frames));
    QCOMPARE(engine_->controls.sliderValue, frames);
    QCOMPARE(rec().Status, ReplayInfo::Paused);
}

void TestReplayEngine::stepping_data()
{
    QTest::addColumn<bool>("loop");
    QTest::addColumn<int>("from");
    QTest::addColumn<bool>("next");
    QTest::addColumn<int>("to");
    QTest::newRow("previous on 1, loop") << true << 1 << false << 1;
    QTest::newRow("previous on 1, single") << false << 1 << false << 1;
    QTest::newRow("previous on 3") << true << 3 << false << 2;
    QTest::newRow("next on last, loop") << true << 4 << true << 1;
    QTest::newRow("next on last, single") << false << 4 << true << 4;
    QTest::newRow("next on 2") << false << 2 << true << 3;
}

void TestReplayEngine::stepping()
{
    QFETCH(bool, loop);
    QFETCH(int, from);
    QFETCH(bool, next);
    QFETCH(int, to);
    load(4, loop);
    engine_->StartReplay();
    engine_->RecordReplayPause();
    engine_->setSliderValue(from);
    QCOMPARE(rec().CurrentFrame, qint16(from));
    engine_->playClicked(next ? ReplayButton::Next : ReplayButton::Previous);
    QCOMPARE(rec().CurrentFrame, qint16(to));
    QCOMPARE(engine_->controls.sliderValue, to);
    QCOMPARE(rec().Status, ReplayInfo::Paused);
}

void TestReplayEngine::nextFrameWhileReplayingPauses()
{
    load(5, true);
    engine_->StartReplay();
    clock_.advance(50);
    engine_->playClicked(ReplayButton::Next);
    QCOMPARE(rec().CurrentFrame, qint16(3));
    QCOMPARE(rec().Status, ReplayInfo::Paused);
    QVERIFY(!engine_->controls.play[ReplayButton::Pause].enabled);
    QCOMPARE(engine_->controls.play[ReplayButton::Pause].disabled, ReplayImage::PauseLatched);
    QVERIFY(engine_->controls.play[ReplayButton::Replay].enabled);
    QCOMPARE(engine_->controls.play[ReplayButton::Replay].disabled, ReplayImage::ReplayGrey);
    clock_.advance(500);
    QCOMPARE(rec().CurrentFrame, qint16(3));
}

void TestReplayEngine::lastFrameFromStopInSingleModePauses()
{
    load(5, false);
    engine_->StartReplay();
    engine_->playClicked(ReplayButton::Stop);
    QCOMPARE(rec().Status, ReplayInfo::Stopped);
    engine_->playClicked(ReplayButton::Last);
    QCOMPARE(rec().CurrentFrame, qint16(5));
    QCOMPARE(rec().Status, ReplayInfo::Paused);
    // In loop mode the last frame leaves the status as it was.
    rec().LoopReplay = true;
    engine_->playClicked(ReplayButton::Stop);
    engine_->playClicked(ReplayButton::Last);
    QCOMPARE(rec().Status, ReplayInfo::Stopped);
    engine_->playClicked(ReplayButton::First);
    QCOMPARE(rec().CurrentFrame, qint16(1));
}

void TestReplayEngine::stopGoesBackToTheFirstFrame()
{
    load(5, true);
    engine_->StartReplay();
    clock_.advance(150);
    QCOMPARE(rec().CurrentFrame, qint16(4));
    engine_->playClicked(ReplayButton::Stop);
    QCOMPARE(rec().CurrentFrame, qint16(1));
    QCOMPARE(engine_->controls.sliderValue, 1);
    QCOMPARE(rec().Status, ReplayInfo::Stopped);
    QVERIFY(!engine_->frameClock().isActive());
    // Replay from Stop goes on from the current frame.
    engine_->playClicked(ReplayButton::Replay);
    clock_.advance(50);
    QCOMPARE(rec().CurrentFrame, qint16(2));
}

void TestReplayEngine::buttonsFollowTheStatus()
{
    load(5, true);
    const auto &c = engine_->controls;
    struct Expect {
        quint8 status;
        bool replay, pause, stop, interval;
        int replayImg, pauseImg, stopImg;
    };
    const Expect table[] = {
        {ReplayInfo::Replaying, false, true, true, false, 3, 6, 8},
        {ReplayInfo::Paused, true, false, true, true, 4, 5, 8},
        {ReplayInfo::Stopped, true, true, false, true, 4, 6, 7},
        {ReplayInfo::Replaying, false, true, true, false, 3, 6, 8},
    };
    for (const Expect &e : table) {
        if (e.status == ReplayInfo::Replaying)
            engine_->StartReplay();
        else if (e.status == ReplayInfo::Paused)
            engine_->RecordReplayPause();
        else
            engine_->StopReplay();
        QCOMPARE(rec().Status, e.status);
        QCOMPARE(c.play[ReplayButton::Replay].enabled, e.replay);
        QCOMPARE(c.play[ReplayButton::Pause].enabled, e.pause);
        QCOMPARE(c.play[ReplayButton::Stop].enabled, e.stop);
        QCOMPARE(c.addEnabled, e.interval);
        QCOMPARE(c.subEnabled, e.interval);
        QCOMPARE(c.defaultTimeEnabled, e.interval);
        QCOMPARE(c.play[ReplayButton::Replay].disabled, e.replayImg);
        QCOMPARE(c.play[ReplayButton::Pause].disabled, e.pauseImg);
        QCOMPARE(c.play[ReplayButton::Stop].disabled, e.stopImg);
        QCOMPARE(engine_->frameClock().isActive(), e.status == ReplayInfo::Replaying);
    }
}

void TestReplayEngine::loopTogglePictures()
{
    load(5, true);
    engine_->StartReplay();
    engine_->playClicked(ReplayButton::Loop);
    QVERIFY(!rec().LoopReplay);
    const PictureButtonState &b = engine_->controls.play[ReplayButton::Loop];
    QCOMPARE(b.normal, ReplayImage::LoopFlat);
    QCOMPARE(b.over, ReplayImage::LoopRaised);
    QCOMPARE(b.down, ReplayImage::LoopSunken);
    QCOMPARE(rec().Status, ReplayInfo::Replaying); // the replay goes on in the new mode
    engine_->playClicked(ReplayButton::Loop);
    QVERIFY(rec().LoopReplay);
    QCOMPARE(b.normal, ReplayImage::LoopLatched);
    QCOMPARE(b.over, ReplayImage::LoopLatched);
    QCOMPARE(b.down, ReplayImage::LoopLatched);
}

void TestReplayEngine::sliderDragPausesAndResumes()
{
    load(9, true);
    engine_->StartReplay();
    engine_->sliderMouseDown();
    QCOMPARE(rec().Status, ReplayInfo::Paused);
    engine_->setSliderValue(7);
    QCOMPARE(rec().CurrentFrame, qint16(7));
    QCOMPARE(drawnFrames_.last(), qint16(7));
    engine_->sliderMouseUp();
    QCOMPARE(rec().Status, ReplayInfo::Replaying);
    clock_.advance(50);
    QCOMPARE(rec().CurrentFrame, qint16(8));
    // From Pause the release does not start the replay.
    engine_->RecordReplayPause();
    engine_->sliderMouseDown();
    engine_->setSliderValue(2);
    engine_->sliderMouseUp();
    QCOMPARE(rec().Status, ReplayInfo::Paused);
    // The slider keeps to its range.
    engine_->setSliderValue(40);
    QCOMPARE(rec().CurrentFrame, qint16(9));
}

void TestReplayEngine::startWithoutFileDoesNothing()
{
    rec().setNewItemDefaults();
    engine_->StartReplay();
    QVERIFY(!rec().ReplayStarted);
    QVERIFY(!engine_->frameClock().isActive());
    QCOMPARE(redraws_, 0);
    // A record claiming a file but holding no frame does not start either.
    rec().FileLoaded = true;
    rec().FrameCount = 0;
    engine_->StartReplay();
    QVERIFY(!rec().ReplayStarted);
    // Nor does one claiming frames whose samples were never stored.
    rec().FrameCount = 5;
    rec().Samples.clear();
    engine_->StartReplay();
    QVERIFY(!rec().ReplayStarted);
    QVERIFY(!engine_->frameClock().isActive());
    QCOMPARE(redraws_, 0);
}

void TestReplayEngine::intervalPressSteps_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<bool>("up");
    QTest::addColumn<double>("to");
    QTest::newRow("+ at 0.05") << 0.05 << true << 0.051;
    QTest::newRow("+ at exactly 1") << 1.0 << true << 1.001;
    QTest::newRow("- at 1.001") << 1.001 << false << 0.991;
    QTest::newRow("- at 0.001") << 0.001 << false << 0.001;
    QTest::newRow("+ at 60") << 60.0 << true << 60.0;
    QTest::newRow("+ above 1") << 2.0 << true << 2.01;
}

void TestReplayEngine::intervalPressSteps()
{
    QFETCH(double, from);
    QFETCH(bool, up);
    QFETCH(double, to);
    load(2, true);
    rec().Interval = from;
    if (up)
        engine_->addMouseDown();
    else
        engine_->subMouseDown();
    engine_->intervalMouseUp();
    QVERIFY(qAbs(rec().Interval - to) < 1e-9);
    QCOMPARE(engine_->controls.intervalLabel, ReplayEngine::intervalText(rec().Interval));
}

void TestReplayEngine::intervalHoldRepeats()
{
    load(2, true);
    rec().Interval = 0.05;
    engine_->addMouseDown();
    QVERIFY(qAbs(rec().Interval - 0.051) < 1e-9);
    clock_.advance(500); // ticks 1..5: nothing
    QVERIFY(qAbs(rec().Interval - 0.051) < 1e-9);
    clock_.advance(500); // ticks 6..10: 0.002 each
    QVERIFY(qAbs(rec().Interval - 0.061) < 1e-9);
    clock_.advance(500); // ticks 11..15: 0.005 each
    QVERIFY(qAbs(rec().Interval - 0.086) < 1e-9);
    clock_.advance(500); // ticks 16..20: 0.010 each
    QVERIFY(qAbs(rec().Interval - 0.136) < 1e-9);
    engine_->intervalMouseUp();
    clock_.advance(1000);
    QVERIFY(qAbs(rec().Interval - 0.136) < 1e-9);
    QCOMPARE(engine_->controls.intervalLabel, QStringLiteral("136.0ms"));

    // Held long, the value stops at 60 s; held down, at 1 ms.
    engine_->addMouseDown();
    clock_.advance(100 * 3000);
    QCOMPARE(rec().Interval, 60.0);
    engine_->intervalMouseUp();
    engine_->subMouseDown();
    clock_.advance(100 * 5000);
    QCOMPARE(rec().Interval, 0.001);
    engine_->intervalMouseUp();
    QVERIFY(!engine_->speedTimer().isActive());

    engine_->defaultTimeClick();
    QCOMPARE(rec().Interval, 0.05);
    QCOMPARE(engine_->controls.intervalLabel, QStringLiteral("50.00ms"));
}

void TestReplayEngine::intervalReachesTheClock_data()
{
    QTest::addColumn<double>("interval");
    QTest::addColumn<int>("ms");
    QTest::newRow("51 ms") << 0.051 << 51;
    QTest::newRow("60 s") << 60.0 << 60000;
    QTest::newRow("1 ms") << 0.001 << 1;
    QTest::newRow("half to even") << 0.0125 << 12;
}

void TestReplayEngine::intervalReachesTheClock()
{
    QFETCH(double, interval);
    QFETCH(int, ms);
    load(3, true);
    rec().Interval = interval;
    engine_->StartReplay();
    QCOMPARE(engine_->frameClock().interval(), ms);
    // While Replaying the interval buttons do nothing.
    engine_->addMouseDown();
    QCOMPARE(rec().Interval, interval);
}

QTEST_GUILESS_MAIN(TestReplayEngine)
#include "tst_replayengine.moc"
