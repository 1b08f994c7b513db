// Random passwords and the rule for a password strong enough to stand on its own.
#pragma once

#include <QString>

// Sixteen characters drawn from the system's random source, over an alphabet without the
// look-alikes 0, 1, l, I and O.
QString makeRandomPassword();

// At least eight UTF-16 code units covering three of: lower case, upper case, digit, other.
bool isStrongPasswordText(const QString& password);
