#pragma once
// Keeps a text control within its record column. A character column counts bytes and our
// tables hold UTF-8, so "é" takes two of them and "𝄞" four; a line edit's own maximum
// counts UTF-16 units, and a text longer than the column would be cut when stored without
// the user seeing it. The limit in UTF-8 bytes also fits a Windows-1252 table, whose
// characters take one byte each.

#include <QValidator>

namespace numora::editors {

class Utf8WidthValidator : public QValidator {
public:
    explicit Utf8WidthValidator(int maxBytes, QObject *parent = nullptr);

    int maxBytes() const { return maxBytes_; }
    // A change that would take the text past the width is refused whole.
    State validate(QString &input, int &pos) const override;

private:
    int maxBytes_;
};

} // namespace numora::editors
