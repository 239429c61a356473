#pragma once
// The picture field of the record form: a scroll box showing the picture, a tool bar
// along the bottom and a popup menu, from which the user loads, saves, copies, pastes,
// captures, prints or views the picture full screen. TMultiImgControl is the panel;
// TDbMultiImgControl binds it to one binary column of a table. What the field holds and
// when it is written back is PictureContent's business; this class wires it to widgets.
//
// Read-only keeps the picture readable: the control stays enabled, but the actions
// that change the picture are disabled and right click opens no menu. There is no
// scanner interface, so Scan and Select Scanner stay disabled.

#include "editors/picture_content.h"

#include <QFrame>
#include <QImage>

#include <functional>
#include <memory>

class QAction;
class QMenu;
class QScrollArea;

namespace numora {
class Prompt;
}
namespace numora::store {
class Table;
}

namespace numora::editors {

class PictureCanvas;

enum class PictureCommand {
    Clear,
    Load,
    Save,
    Copy,
    Paste,
    ScreenCapture,
    Print,
    Scan,
    SelectScanner,
    FullScreen,
    AutoStretch,
    ToolBar,
    Help,
};

class TMultiImgControl : public QFrame {
    Q_OBJECT
    Q_PROPERTY(bool SpeedBarVisible READ speedBarVisible WRITE setSpeedBarVisible)
    Q_PROPERTY(int SpeedBarHeight READ speedBarHeight WRITE setSpeedBarHeight)
public:
    using PrintFunction = std::function<void(const QImage &picture, QWidget *parent)>;

    explicit TMultiImgControl(QWidget *parent = nullptr);
    ~TMultiImgControl() override;

    // The picture; a null image when there is none.
    const QImage &picture() const { return content_.image(); }
    bool isEmpty() const { return content_.isEmpty(); }
    // Changed or loaded from a file since it was read from the record: writing back
    // would write it.
    bool isModified() const { return content_.needsStoring(); }
    QString fileName() const { return content_.fileName(); }

    // Each of these is a change by the user: pictureChanged follows.
    void setPicture(const QImage &picture); // as a paste; a null image clears
    void clearPicture();
    // A missing path clears the picture; an unreadable file changes nothing (false).
    bool loadFile(const QString &path);
    bool pastePicture(); // false when the clipboard holds no picture
    // Leaves the picture alone.
    [[nodiscard]] bool saveFile(const QString &path);
    void copyPicture() const;

    bool isReadOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly);
    bool autoStretch() const { return autoStretch_; }
    void setAutoStretch(bool on);
    bool speedBarVisible() const { return speedBarVisible_; }
    void setSpeedBarVisible(bool visible);
    int speedBarHeight() const { return speedBarHeight_; }
    void setSpeedBarHeight(int height);
    bool isToolBarShown() const;

    // The one action behind each menu item and tool bar button.
    QAction *action(PictureCommand command) const;
    // Brings the menu's items up to date and returns it, as right click shows it.
    QMenu *preparedMenu();

    // Messages go to `prompt` (message boxes when none is set).
    void setPrompt(Prompt *prompt);
    void setPrintFunction(PrintFunction print) { print_ = std::move(print); }

    QSize sizeHint() const override { return {210, 200}; }

signals:
    // The user changed the picture (not emitted when it is read from the record).
    void pictureChanged();
    // Just before the window hides for a screen capture; the main window marks itself
    // so that showing it again afterwards does not start it afresh.
    void captureStarting();

protected:
    PictureContent &content() { return content_; }
    const PictureContent &content() const { return content_; }
    // After the picture changed for any reason.
    void showPicture();

    void resizeEvent(QResizeEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void createActions();
    void createToolBar();
    void runCommand(PictureCommand command);
    void userChangedPicture();
    void chooseFileToLoad();
    void chooseFileToSave();
    void captureScreen();
    void showFullScreen();
    void showHelp();
    void placeParts();
    void updateEditingActions();
    Prompt &prompt();

    PictureContent content_;
    bool readOnly_ = false;
    bool autoStretch_ = true;
    bool speedBarVisible_ = true;
    bool toolBarHiddenByUser_ = false;
    int speedBarHeight_ = 24;

    QScrollArea *scrollBox_;
    PictureCanvas *canvas_;
    QFrame *toolBar_;
    QMenu *menu_;
    std::vector<QAction *> actions_; // by PictureCommand
    Prompt *prompt_ = nullptr;
    std::unique_ptr<Prompt> messageBoxes_;
    PrintFunction print_;
};

class TDbMultiImgControl : public TMultiImgControl {
    Q_OBJECT
public:
    explicit TDbMultiImgControl(QWidget *parent = nullptr);

    // The binary column the field reads and writes.
    void setColumn(int column) { column_ = column; }
    int column() const { return column_; }

    // Shows the picture of the table's current record; false when its value is not a
    // picture (the field is then empty). A damaged memo file raises DatabaseError.
    bool readFromRecord(const store::Table &table);
    // Writes the picture into the current record (in edit state) when it was changed or
    // loaded from a file since it was read; otherwise leaves the column untouched.
    void storeIntoRecord(store::Table &table);
    // Writes the picture into the current record (in edit state) whatever was done to it:
    // for copying the shown record into another row (copy buffer, record template).
    void copyIntoRecord(store::Table &table) const;

private:
    int column_ = -1;
};

} // namespace numora::editors
