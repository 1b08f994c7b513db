#include "services/password_rules.h"

#include "core/random_text.h"

namespace {

const char alphabet[] = "23456789abcdefghijkmnpqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ~!@#$%^&*_+=<>?";
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
    return QString::fromLatin1(cfr::randomText(passwordLength, alphabet).c_str());
}

bool isStrongPasswordText(const QString& password) {
    if (password.size() < minimumStrongLength)
        return false;
    bool seen[4] = {false, false, false, false};
    for (QChar c : password)
        seen[classOf(c)] = true;
    return int(seen[Lower]) + int(seen[Upper]) + int(seen[Digit]) + int(seen[Other]) >= 3;
}
