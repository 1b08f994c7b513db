#include "services/password_rules.h"

#include <QRandomGenerator64>

namespace {

const char alphabet[] = "23456789abcdefghijkmnpqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ~!@#$%^&*_+=<>?";
const quint32 alphabetSize = sizeof(alphabet) - 1;
const int passwordLength = 16;
const int minimumStrongLength = 8;

enum CharClass { Lower, Upper, Digit, Other };

CharClass classOf(QChar c) {
    const ushort u = c.unicode();
    if (u < 128) {
        if (u >= 'a' && u <= 'z')
            return Lower;
        if (u >= 'A' && u <= 'Z')
            return Upper;
        if (u >= '0' && u <= '9')
            return Digit;
        return Other;
    }
    switch (c.category()) {
    case QChar::Letter_Lowercase:
        return Lower;
    case QChar::Letter_Uppercase:
        return Upper;
    case QChar::Number_DecimalDigit:
        return Digit;
    default:
        return Other;
    }
}

} // namespace

QString makeRandomPassword() {
    static_assert(sizeof(alphabet) - 1 == 71, "the password alphabet has 71 characters");
    QString password;
    password.reserve(passwordLength);
    for (int i = 0; i < passwordLength; ++i)
        password += QLatin1Char(alphabet[QRandomGenerator64::system()->bounded(alphabetSize)]);
    return password;
}

bool isStrongPasswordText(const QString& password) {
    if (password.size() < minimumStrongLength)
        return false;
    bool seen[4] = {false, false, false, false};
    for (QChar c : password)
        seen[classOf(c)] = true;
    return int(seen[Lower]) + int(seen[Upper]) + int(seen[Digit]) + int(seen[Other]) >= 3;
}
