#include "mainwin/number_text.h"

namespace numora::mainwin {

double numberFromText(const QString &text, QChar decimalSeparator)
{
    const qsizetype separatorAt = text.lastIndexOf(decimalSeparator);
    QString kept;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isDigit() && text[i].unicode() < 128)
            kept += text[i];
        else if (i == separatorAt)
            kept += u'.';
    }
    bool ok = false;
    const double value = kept.toDouble(&ok);
    return ok ? value : 0.0;
}

} // namespace numora::mainwin
