#pragma once
// The record list's header: one section per list column over a ListHeaderModel. Sections
// are dragged to a new place and resized by their borders; the popup menu (right click)
// inserts and removes fields and works with the header templates. Every change to the
// sections is reported through changed(), after which the rows take the new columns.

#include "mainwin/list_header_model.h"

#include <QHeaderView>
#include <memory>

class QMenu;
class QStandardItemModel;

namespace numora {
class Prompt;
}

namespace numora::mainwin {

class TBrenlowHeader : public QHeaderView {
    Q_OBJECT
public:
    // `prompt` shows the template errors; it must outlive the header.
    TBrenlowHeader(ListHeaderModel &model, Prompt &prompt, QWidget *parent = nullptr);
    ~TBrenlowHeader() override;

    ListHeaderModel &model() { return model_; }
    // Shows the model's sections again, as after a change from outside.
    void showSections();

    // Where the header templates live; reads their list.
    void setSettingsFolder(const QString &folder);
    HeaderTemplateList &templates() { return templates_; }

    // The popup menu as it opens now; the caller runs it.
    std::unique_ptr<QMenu> createPopupMenu();

signals:
    void changed();
    void helpRequested(int context);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void addInsertMenu(QMenu &menu);
    void addRemoveMenu(QMenu &menu);
    void addTemplateMenus(QMenu &menu);
    void saveAsTemplate();
    void deleteTemplate(int index);
    void loadTemplate(const QString &name);
    void applyChange(bool sectionsChanged);
    void onSectionMoved(int logical, int oldVisual, int newVisual);
    void onSectionResized(int logical, int oldSize, int newSize);

    ListHeaderModel &model_;
    Prompt &prompt_;
    HeaderTemplateList templates_;
    QStandardItemModel *items_;
    bool showing_ = false; // set while the sections are put in place, which reports nothing
};

} // namespace numora::mainwin
