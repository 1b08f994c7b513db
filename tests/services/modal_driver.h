// Answers the next modal dialog the code under test opens, from inside its event loop.
#pragma once

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

// Polls until a modal widget of type Dialog is showing, then calls act on it, again at each
// poll until act returns true (done), and then waits for that dialog to close. After
// about ten seconds it gives up and closes whatever modal widget is still open, so that a
// failing test cannot hang in a dialog.
template <typename Dialog> void whenModalShows(std::function<bool(Dialog*)> act) {
    auto* timer = new QTimer;
    struct State {
        int ticks = 0;
        bool acted = false;
        QPointer<Dialog> answered;
    };
    auto state = std::make_shared<State>();
    QObject::connect(timer, &QTimer::timeout, [timer, act, state] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!state->acted) {
            auto* dialog = qobject_cast<Dialog*>(modal);
            state->acted = dialog && act(dialog);
            state->answered = dialog;
        } else if (!state->answered || !state->answered->isVisible()) {
            timer->stop();
            timer->deleteLater();
            return;
        }
        if (++state->ticks > 1000) {
            if (modal)
                modal->close();
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
}
