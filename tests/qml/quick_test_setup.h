// The set-up of every Qt Quick Test program: a private HOME, the program's real QML module,
// the touch interface's `Theme` and `Str`, and a QuickTestHelper as the context property
// "TestHelper".
#pragma once

#include "test_support.h"

#include <QObject>

class QQmlEngine;

class QuickTestSetup : public QObject {
    Q_OBJECT
public slots:
    void qmlEngineAvailable(QQmlEngine* engine);

private:
    // Made before the application object, so every store opens under it.
    testing::TemporaryHome home_;
};
