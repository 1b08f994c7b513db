#include "app/app_logging.h"

Q_LOGGING_CATEGORY(lcApp, "coffret.app")
