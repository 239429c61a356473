#pragma once
// The popup menu of the record form's text and lookup fields: the editing items of the
// control (undo, cut, copy, paste, delete, select all), loading and saving a multi-line
// field's text, its font and colours, help, and for lookup fields the list editor and
// the Auto-Fill option. The menu is built when it opens, so every item's state is that
// of the moment; what the items do beyond editing is the form's, passed in.

#include <QString>

#include <functional>
#include <memory>

class QMenu;
class QWidget;

namespace numora::mainwin {

enum class FieldMenuKind { OneLine, MultiLine, Lookup };

struct FieldMenuActions {
    std::function<void()> font;
    std::function<void()> colour;
    std::function<void()> help;
    // Lookup fields only.
    std::function<void()> editList;
    std::function<void()> toggleAutoFill;
    bool autoFillOn = false;
};

// The items' object names are their captions without "&" and dots, e.g. "Select All".
// `control` is a QLineEdit, a QPlainTextEdit or a lookup's combo box.
std::unique_ptr<QMenu> createFieldMenu(QWidget *control, FieldMenuKind kind, const FieldMenuActions &actions);

// A multi-line field's text from and to a text file chosen in a file dialog.
void loadMemoText(QWidget *memo);
void saveMemoText(QWidget *memo);

} // namespace numora::mainwin
