#include "editors/widgets/multi_img_control.h"

#include "editors/widgets/full_slide_window.h"
#include "editors/widgets/picture_canvas.h"
#include "editors/picture_files.h"
#include "editors/picture_geometry.h"
#include "editors/widgets/picture_printing.h"
#include "editors/screen_capture.h"
#include "editors/widgets/screen_capture_window.h"
#include "platform/busy_cursor.h"
#include "core/help_topics.h"
#include "platform/help_window.h"
#include "platform/message_box_prompt.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QToolButton>

namespace numora::editors {

namespace {

struct CommandEntry {
    PictureCommand command;
    const char *menuText;
    const char *hint;  // the tool bar button's hint; none: not on the tool bar
    const char *glyph; // the button's name, after its bitmap resource
    QStyle::StandardPixmap icon;
};

// Menu order; the tool bar shows the entries with a hint in the same order.
constexpr CommandEntry kCommands[] = {
    {PictureCommand::Clear, "&Clear", "Clear", "XBITMAP_1", QStyle::SP_DialogResetButton},
    {PictureCommand::Load, "&Load", "Load", "XBITMAP_2", QStyle::SP_DialogOpenButton},
    {PictureCommand::Save, "&Save", "Save", "XBITMAP_3", QStyle::SP_DialogSaveButton},
    {PictureCommand::Copy, "C&opy", "Copy", "XBITMAP_4", QStyle::SP_FileIcon},
    {PictureCommand::Paste, "P&aste", "Paste", "XBITMAP_5", QStyle::SP_FileDialogContentsView},
    {PictureCommand::ScreenCapture, "Sc&reen Capture", "Screen Capture", "XBITMAP_8", QStyle::SP_DesktopIcon},
    {PictureCommand::Print, "&Print", "Print", "XBITMAP_6", QStyle::SP_FileDialogDetailedView},
    {PictureCommand::Scan, "Sca&n", "Scan", "XBITMAP_7", QStyle::SP_DriveCDIcon},
    {PictureCommand::SelectScanner, "S&elect Scanner", nullptr, nullptr, QStyle::SP_CustomBase},
    {PictureCommand::FullScreen, "&Full Screen", "Full Screen", "XBITMAP_9", QStyle::SP_TitleBarMaxButton},
    {PictureCommand::AutoStretch, "A&uto Stretch", "Auto Stretch", "XBITMAP_10", QStyle::SP_FileDialogListView},
    {PictureCommand::ToolBar, "&Hide Toolbar", nullptr, nullptr, QStyle::SP_CustomBase},
    {PictureCommand::Help, "&Help", nullptr, nullptr, QStyle::SP_CustomBase},
};

constexpr PictureCommand kEditingCommands[] = {PictureCommand::Clear, PictureCommand::Load,
                                               PictureCommand::Paste, PictureCommand::ScreenCapture};

const QString kLoadTitle = QStringLiteral("Load Image From");
const QString kSaveTitle = QStringLiteral("Save Image As");

bool clipboardHoldsPicture()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasImage();
}

} // namespace

TMultiImgControl::TMultiImgControl(QWidget *parent)
    : QFrame(parent),
      scrollBox_(new QScrollArea(this)),
      canvas_(new PictureCanvas),
      toolBar_(new QFrame(this)),
      menu_(new QMenu(this)),
      print_(printPicture)
{
    setToolTip(QStringLiteral("Graphical Field - Right Click to display Popup Menu"));
    QPalette silver = scrollBox_->palette();
    silver.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    scrollBox_->setPalette(silver);
    scrollBox_->setBackgroundRole(QPalette::Window);
    scrollBox_->setWidget(canvas_);
    createActions();
    createToolBar();
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &TMultiImgControl::updateEditingActions);
    resize(sizeHint());
    showPicture();
}

TMultiImgControl::~TMultiImgControl() = default;

void TMultiImgControl::createActions()
{
    for (const CommandEntry &entry : kCommands) {
        if (entry.command == PictureCommand::Help)
            menu_->addSeparator();
        auto *action = new QAction(QString::fromLatin1(entry.menuText), this);
        if (entry.hint)
            action->setToolTip(QString::fromLatin1(entry.hint));
        if (entry.icon != QStyle::SP_CustomBase)
            action->setIcon(style()->standardIcon(entry.icon));
        connect(action, &QAction::triggered, this, [this, command = entry.command] { runCommand(command); });
        menu_->addAction(action);
        actions_.push_back(action);
    }
    QAction *stretch = action(PictureCommand::AutoStretch);
    stretch->setCheckable(true);
    stretch->setChecked(autoStretch_);
    // No scanner interface exists on this platform.
    action(PictureCommand::Scan)->setEnabled(false);
    action(PictureCommand::SelectScanner)->setEnabled(false);
    updateEditingActions();
}

void TMultiImgControl::createToolBar()
{
    toolBar_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto *row = new QHBoxLayout(toolBar_);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(0);
    QFont caption(QStringLiteral("Arial"));
    caption.setPointSize(8);
    for (const CommandEntry &entry : kCommands) {
        if (!entry.hint)
            continue;
        auto *button = new QToolButton(toolBar_);
        button->setObjectName(QString::fromLatin1(entry.glyph));
        button->setDefaultAction(action(entry.command));
        button->setFont(caption);
        row->addWidget(button);
    }
    row->addStretch();
}

QAction *TMultiImgControl::action(PictureCommand command) const
{
    return actions_[size_t(command)];
}

void TMultiImgControl::setPrompt(Prompt *prompt)
{
    prompt_ = prompt;
}

Prompt &TMultiImgControl::prompt()
{
    if (prompt_)
        return *prompt_;
    if (!messageBoxes_)
        messageBoxes_ = std::make_unique<platform::MessageBoxPrompt>(this);
    return *messageBoxes_;
}

void TMultiImgControl::setReadOnly(bool readOnly)
{
    readOnly_ = readOnly;
    updateEditingActions();
}

void TMultiImgControl::updateEditingActions()
{
    for (PictureCommand command : kEditingCommands)
        action(command)->setEnabled(!readOnly_);
    action(PictureCommand::Paste)->setEnabled(!readOnly_ && clipboardHoldsPicture());
}

void TMultiImgControl::setAutoStretch(bool on)
{
    autoStretch_ = on;
    action(PictureCommand::AutoStretch)->setChecked(on);
    placeParts();
}

void TMultiImgControl::setSpeedBarVisible(bool visible)
{
    speedBarVisible_ = visible;
    placeParts();
}

void TMultiImgControl::setSpeedBarHeight(int height)
{
    speedBarHeight_ = height;
    placeParts();
}

bool TMultiImgControl::isToolBarShown() const
{
    return toolBarShown(speedBarVisible_, toolBarHiddenByUser_, width());
}

void TMultiImgControl::placeParts()
{
    const bool shown = isToolBarShown();
    const int barHeight = shown ? speedBarHeight_ : 0;
    const QRect inside = contentsRect();
    toolBar_->setVisible(shown);
    toolBar_->setGeometry(inside.left(), inside.bottom() + 1 - barHeight, inside.width(), barHeight);
    const int buttonSide = std::max(barHeight - 4, 0);
    for (QToolButton *button : toolBar_->findChildren<QToolButton *>())
        button->setFixedSize(buttonSide, buttonSide);
    scrollBox_->setGeometry(inside.adjusted(0, 0, 0, -barHeight));

    const PictureLayout layout =
        layoutPicture(picture().size(), scrollBox_->contentsRect().size(), autoStretch_);
    canvas_->resize(layout.imageSize);
}

void TMultiImgControl::showPicture()
{
    canvas_->setImage(picture());
    placeParts();
}

void TMultiImgControl::userChangedPicture()
{
    showPicture();
    emit pictureChanged();
}

void TMultiImgControl::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    placeParts();
}

QMenu *TMultiImgControl::preparedMenu()
{
    updateEditingActions();
    QAction *toolBarItem = action(PictureCommand::ToolBar);
    toolBarItem->setVisible(speedBarVisible_);
    toolBarItem->setText(isToolBarShown() ? QStringLiteral("Hide &Tool Bar") : QStringLiteral("Show &Tool Bar"));
    return menu_;
}

void TMultiImgControl::contextMenuEvent(QContextMenuEvent *event)
{
    if (readOnly_)
        return;
    preparedMenu()->exec(event->globalPos());
}

void TMultiImgControl::runCommand(PictureCommand command)
{
    switch (command) {
    case PictureCommand::Clear:
        clearPicture();
        break;
    case PictureCommand::Load:
        chooseFileToLoad();
        break;
    case PictureCommand::Save:
        chooseFileToSave();
        break;
    case PictureCommand::Copy:
        copyPicture();
        break;
    case PictureCommand::Paste:
        pastePicture();
        break;
    case PictureCommand::ScreenCapture:
        captureScreen();
        break;
    case PictureCommand::Print:
        if (!isEmpty() && print_)
            print_(picture(), this);
        break;
    case PictureCommand::Scan:
    case PictureCommand::SelectScanner:
        break; // no scanner interface
    case PictureCommand::FullScreen:
        showFullScreen();
        break;
    case PictureCommand::AutoStretch:
        setAutoStretch(action(PictureCommand::AutoStretch)->isChecked());
        break;
    case PictureCommand::ToolBar:
        toolBarHiddenByUser_ = isToolBarShown();
        placeParts();
        break;
    case PictureCommand::Help:
        showHelp();
        break;
    }
}

void TMultiImgControl::setPicture(const QImage &picture)
{
    if (picture.isNull())
        content_.clear();
    else
        content_.replace(picture);
    userChangedPicture();
}

void TMultiImgControl::clearPicture()
{
    content_.clear();
    userChangedPicture();
}

bool TMultiImgControl::loadFile(const QString &path)
{
    if (!QFileInfo::exists(path)) {
        clearPicture();
        return true;
    }
    const platform::BusyCursor busy;
    if (!content_.loadFile(path))
        return false;
    userChangedPicture();
    return true;
}

bool TMultiImgControl::saveFile(const QString &path)
{
    const platform::BusyCursor busy;
    return content_.saveFile(path);
}

void TMultiImgControl::copyPicture() const
{
    if (isEmpty())
        return;
    const platform::BusyCursor busy;
    QGuiApplication::clipboard()->setImage(picture());
}

bool TMultiImgControl::pastePicture()
{
    if (!clipboardHoldsPicture())
        return false;
    const QImage pasted = qvariant_cast<QImage>(QGuiApplication::clipboard()->mimeData()->imageData());
    if (pasted.isNull())
        return false;
    setPicture(pasted);
    return true;
}

void TMultiImgControl::chooseFileToLoad()
{
    const QString path = QFileDialog::getOpenFileName(this, kLoadTitle, QFileInfo(fileName()).path(),
                                                      qtFileFilter(kLoadPictureFilter));
    if (path.isEmpty())
        return;
    if (!loadFile(path))
        prompt().inform(QStringLiteral("The picture could not be read from\r%1").arg(path), MessageKind::Error);
}

void TMultiImgControl::chooseFileToSave()
{
    const QString path = QFileDialog::getSaveFileName(this, kSaveTitle, fileName(), qtFileFilter(kSavePictureFilter));
    // Any other extension writes nothing, as the user asked for no type we know.
    if (path.isEmpty() || !saveTypeFor(path))
        return;
    if (!saveFile(path))
        prompt().inform(QStringLiteral("The picture could not be written to\r%1").arg(path), MessageKind::Error);
}

void TMultiImgControl::captureScreen()
{
    QWidget *main = window();
    QScreen *screen = main->screen();
    emit captureStarting();
    main->lower();
    QCoreApplication::processEvents();
    main->hide();
    QCoreApplication::processEvents();

    ScreenCaptureWindow capture(screen);
    const bool swept = capture.exec() == QDialog::Accepted;
    main->show();
    if (!swept)
        return;
    const std::optional<QImage> captured = capturedPicture(capture.screenshot(), capture.sweptArea(), prompt());
    if (!captured)
        return;
    QGuiApplication::clipboard()->setImage(*captured);
    setPicture(*captured);
}

void TMultiImgControl::showFullScreen()
{
    if (isEmpty())
        return;
    auto *slide = new FullSlideWindow(picture(), this);
    slide->setGeometry(screen()->geometry());
    slide->showFullScreen();
}

void TMultiImgControl::showHelp()
{
    auto *help = new platform::HelpWindow(this);
    help->setAttribute(Qt::WA_DeleteOnClose);
    help->showContext(help::PictureField);
}

TDbMultiImgControl::TDbMultiImgControl(QWidget *parent) : TMultiImgControl(parent) {}

bool TDbMultiImgControl::readFromRecord(const store::Table &table)
{
    const bool decoded = readPictureFromRecord(content(), table, column_);
    showPicture();
    return decoded;
}

void TDbMultiImgControl::storeIntoRecord(store::Table &table)
{
    storePictureIntoRecord(content(), table, column_);
}

void TDbMultiImgControl::copyIntoRecord(store::Table &table) const
{
    copyPictureIntoRecord(content(), table, column_);
}

} // namespace numora::editors
