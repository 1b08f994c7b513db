// The three standalone windows of the command-line flow: password, progress and result.
#pragma once

#include <QString>

#include <functional>

class PackController;
class QApplication;

// Starts one job on the controller it is given.
using CliJob = std::function<void(PackController*)>;

// The entered password, or a null string when the prompt was dismissed or cannot be shown.
// isForPack asks for a new password with confirmation; otherwise promptName names the
// archive to unlock.
QString askPassword(QApplication& app, bool isForPack, const QString& promptName);

// Shows the progress window, starts the job and returns once the result window is closed,
// or once the job was cancelled.
void runJobWithProgress(QApplication& app, const CliJob& job);

// Replaces the progress window with the result window; closing that ends the event loop.
void showResult(QApplication& app, const QString& message, bool isError);
