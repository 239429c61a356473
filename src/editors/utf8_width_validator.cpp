#include "editors/utf8_width_validator.h"

namespace numora::editors {

Utf8WidthValidator::Utf8WidthValidator(int maxBytes, QObject *parent) : QValidator(parent), maxBytes_(maxBytes) {}

QValidator::State Utf8WidthValidator::validate(QString &input, int &) const
{
    return input.toUtf8().size() <= maxBytes_ ? Acceptable : Invalid;
}

} // namespace numora::editors
