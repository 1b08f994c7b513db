// The log category of the application shell: start-up and the windows it creates.
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcApp)
