#include "mainwin/widgets/list_header.h"

#include "core/help_topics.h"
#include "core/prompt.h"
#include "mainwin/template_saving.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QInputDialog>
#include <QMenu>
#include <QStandardItemModel>

namespace numora::mainwin {

TBrenlowHeader::TBrenlowHeader(ListHeaderModel &model, Prompt &prompt, QWidget *parent)
    : QHeaderView(Qt::Horizontal, parent), model_(model), prompt_(prompt), templates_(model),
      items_(new QStandardItemModel(this))
{
    setModel(items_);
    setSectionsMovable(true);
    setStretchLastSection(false);
    setMinimumSectionSize(kMinSectionWidth);
    setSectionResizeMode(QHeaderView::Interactive);
    connect(this, &QHeaderView::sectionMoved, this, &TBrenlowHeader::onSectionMoved);
    connect(this, &QHeaderView::sectionResized, this, &TBrenlowHeader::onSectionResized);
    showSections();
}

TBrenlowHeader::~TBrenlowHeader() = default;

void TBrenlowHeader::showSections()
{
    showing_ = true;
    model_.fitToPane(width());
    const QList<HeaderSection> &sections = model_.sections();
    const QList<int> widths = model_.shownWidths(width());
    items_->clear();
    items_->setColumnCount(int(sections.size()));
    for (int i = 0; i < sections.size(); ++i) {
        items_->setHorizontalHeaderItem(i, new QStandardItem(sections[i].text));
        // A dragged section was moved in the model; the view shows the model's order.
        if (visualIndex(i) != i)
            moveSection(visualIndex(i), i);
        resizeSection(i, widths[i]);
    }
    showing_ = false;
}

// The sections are fitted to the width again; the rows take their shares from the model
// when the pane lays them out, so nothing is reported.
void TBrenlowHeader::resizeEvent(QResizeEvent *event)
{
    QHeaderView::resizeEvent(event);
    showSections();
}

void TBrenlowHeader::setSettingsFolder(const QString &folder)
{
    templates_.setSettingsFolder(folder);
    templates_.loadList(QDir(folder).filePath(settings::kHeaderTemplatesFile));
}

std::unique_ptr<QMenu> TBrenlowHeader::createPopupMenu()
{
    auto menu = std::make_unique<QMenu>(this);
    addInsertMenu(*menu);
    addRemoveMenu(*menu);
    menu->addSeparator();
    addTemplateMenus(*menu);
    menu->addSeparator();
    menu->addAction(QStringLiteral("&Help"), this,
                    [this] { emit helpRequested(help::ListHeader); });
    return menu;
}

void TBrenlowHeader::contextMenuEvent(QContextMenuEvent *event)
{
    createPopupMenu()->exec(event->globalPos());
}

void TBrenlowHeader::addInsertMenu(QMenu &menu)
{
    QMenu *insert = menu.addMenu(QStringLiteral("&Insert New Field"));
    for (int field : model_.insertableFields())
        insert->addAction(model_.fields()[field].label, this,
                          [this, field] { applyChange(model_.insertField(field, width())); });
}

void TBrenlowHeader::addRemoveMenu(QMenu &menu)
{
    QMenu *remove = menu.addMenu(QStringLiteral("&Remove Field"));
    remove->setEnabled(model_.canRemoveField());
    for (int field : model_.removableFields())
        remove->addAction(model_.fields()[field].label, this,
                          [this, field] { applyChange(model_.removeField(field)); });
}

void TBrenlowHeader::addTemplateMenus(QMenu &menu)
{
    QMenu *load = menu.addMenu(QStringLiteral("&Load From Template"));
    menu.addAction(QStringLiteral("&Save As Template"), this, &TBrenlowHeader::saveAsTemplate);
    QMenu *remove = menu.addMenu(QStringLiteral("&Delete Template"));
    for (int i = 0; i < templates_.count(); ++i) {
        const QString name = templates_.item(i).name;
        load->addAction(name, this, [this, name] { loadTemplate(name); });
        remove->addAction(name, this, [this, i] { deleteTemplate(i); });
    }
}

void TBrenlowHeader::saveAsTemplate()
{
    const QString name = QInputDialog::getText(this, QStringLiteral("Save Header As Template"),
                                               QStringLiteral("Template Name:"));
    if (!name.isEmpty())
        mainwin::saveAsTemplate(templates_, name,
                                QDir(templates_.settingsFolder()).filePath(settings::kHeaderTemplatesFile), prompt_);
}

void TBrenlowHeader::deleteTemplate(int index)
{
    templates_.remove(index);
    templates_.saveList(QDir(templates_.settingsFolder()).filePath(settings::kHeaderTemplatesFile), prompt_);
}

void TBrenlowHeader::loadTemplate(const QString &name)
{
    if (!templates_.load(name)) {
        prompt_.inform(QStringLiteral("Error Loading Template."), MessageKind::Error);
        return;
    }
    applyChange(true);
}

void TBrenlowHeader::applyChange(bool sectionsChanged)
{
    // Also after a refused change, so the view does not keep what the model refused.
    showSections();
    if (sectionsChanged)
        emit changed();
}

void TBrenlowHeader::onSectionMoved(int, int oldVisual, int newVisual)
{
    if (!showing_)
        applyChange(model_.moveSection(oldVisual, newVisual));
}

void TBrenlowHeader::onSectionResized(int logical, int, int newSize)
{
    if (!showing_)
        applyChange(model_.resizeSection(logical, newSize));
}

} // namespace numora::mainwin
