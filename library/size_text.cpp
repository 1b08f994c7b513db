#include "library/size_text.h"

QString sizeText(qint64 bytes, const SizeStyle& style) {
    static const char* const units[] = {"B", "KB", "MB", "GB", "TB"};
    double value = double(bytes);
    int unit = 0;
    while (value >= 1024 && unit < style.largestUnit && unit < 4) {
        value /= 1024;
        ++unit;
    }
    QString number = QString::number(value, 'f', unit == 0 ? 0 : style.decimals);
    if (unit > 0 && style.trimZeros && number.contains('.')) {
        while (number.endsWith('0'))
            number.chop(1);
        if (number.endsWith('.'))
            number.chop(1);
    }
    return number + ' ' + units[unit];
}
