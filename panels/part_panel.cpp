#include "panels/part_panel.h"

#include <QAction>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <algorithm>
#include <string_view>

#include "app/core/editor_actions.h"
#include "framework/display_text.h"

namespace panels {

namespace {

using Command = app::PartPanelCommand;

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// One entry of a menu: a command with its text, or a separator (no text).
struct MenuItem {
    std::string_view text;
    Command command = Command::kOpenPartFile;
};
constexpr MenuItem kSeparator{};

struct MenuDefinition {
    std::string_view title;
    std::vector<MenuItem> items;
};

const std::array<MenuDefinition, 3>& MenuBarDefinition() {
    static const std::array<MenuDefinition, 3> menus{{
        {"ファイル(&F)",
         {{"パーツファイルを開く(&O)", Command::kOpenPartFile},
          {"パーツファイルへ保存する(&S)", Command::kSavePartFile},
          {"パーツファイルを閉じる(&C)", Command::kClosePartFile}}},
        {"編集(&E)",
         {{"姿勢のコピー(&C)", Command::kCopyOrientation},
          {"姿勢の貼り付け(&P)", Command::kPasteOrientation},
          {"姿勢の左右反転(&R)", Command::kMirrorOrientation},
          {"姿勢のクリア(&L)", Command::kClearOrientation},
          kSeparator,
          {"位置のコピー(&O)", Command::kCopyPosition},
          {"位置の貼り付け(&S)", Command::kPastePosition},
          {"位置の左右反転(&V)", Command::kMirrorPosition},
          {"位置のクリア(&M)", Command::kClearPosition},
          kSeparator,
          {"子パーツを追加する(&A)", Command::kAddChildPart},
          {"パーツを削除する(&D)", Command::kDeletePart}}},
        {"初期位置/姿勢(&D)",
         {{"初期姿勢を取得(&Q)", Command::kFetchDefaultOrientation},
          {"初期姿勢としてセット(&U)", Command::kStoreDefaultOrientation},
          kSeparator,
          {"初期位置を取得(&P)", Command::kFetchDefaultPosition},
          {"初期位置としてセット(&O)", Command::kStoreDefaultPosition},
          kSeparator,
          {"現在のポーズを初期位置/姿勢としてセット(&A)", Command::kStoreDefaultPose}}},
    }};
    return menus;
}

}  // namespace

PartPanel::PartPanel(app::Session& session, files::SettingsFile settings,
                     app::ChooseFile chooseFile)
    : ToolPanel(kPartPanelCaption, kPartPanelSection, std::move(settings), kPartPanelWidth,
                kPartPanelHeight),
      session_(session),
      chooseFile_(std::move(chooseFile)) {
    BuildMenus();
    BuildControls();
    ShowScale();
    gridButton_->setChecked(true);
    // From now on the frame reads the toggles as they stand.
    app::SetGridShown(session_, gridButton_->isChecked());
    app::SetOutlineShown(session_, outlineButton_->isChecked());
    RefreshMenuState();
}

PartPanel::~PartPanel() = default;

void PartPanel::BuildMenus() {
    menuBar_ = new QMenuBar(this);
    for (const MenuDefinition& definition : MenuBarDefinition()) {
        QMenu* menu = menuBar_->addMenu(Text(definition.title));
        // A menu opens as a window of its own: it takes the panel's font explicitly.
        menu->setFont(font());
        for (const MenuItem& entry : definition.items) {
            if (entry.text.empty()) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(Text(entry.text));
            const Command command = entry.command;
            connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
            actions_.emplace_back(command, action);
        }
        // The Edit menu is also the tree's context menu.
        if (&definition == &MenuBarDefinition()[1]) editMenu_ = menu;
    }
    SetMenuBar(menuBar_);
}

void PartPanel::BuildControls() {
    QWidget* area = body();

    tree_ = new QTreeWidget(area);
    // Below the two rows of controls: the scale and the view toggles, then Undo and Redo.
    Place(tree_, 5, 34, 155, 239);
    tree_->setHeaderHidden(true);
    tree_->setColumnCount(1);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setRootIsDecorated(true);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    // The selection stays as visible when the tree does not have the focus.
    QPalette palette = tree_->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    tree_->setPalette(palette);
    connect(tree_, &QTreeWidget::itemSelectionChanged, this, [this] { SelectionFromTree(); });
    connect(tree_, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* changed, int) { PartTicked(changed); });
    connect(tree_, &QTreeWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { ShowEditMenu(at); });

    scaleLabel_ = new QLabel(QStringLiteral("Scale:"), area);
    Place(scaleLabel_, 3, 6, 20, 10);

    scaleBox_ = new QLineEdit(area);
    Place(scaleBox_, 25, 5, 30, 12);
    scaleBox_->setMaxLength(app::kScaleBoxLimit);
    // Typed characters arrive as plain half-width text, never through an input method.
    scaleBox_->setAttribute(Qt::WA_InputMethodEnabled, false);
    scaleBox_->setInputMethodHints(Qt::ImhLatinOnly | Qt::ImhPreferNumbers);
    scaleBox_->installEventFilter(this);
    connect(scaleBox_, &QLineEdit::textEdited, this, [this] { ScaleEdited(); });

    undoButton_ = new QPushButton(QStringLiteral("Undo(&U)"), area);
    Place(undoButton_, 5, 19, 35, 13);
    connect(undoButton_, &QPushButton::clicked, this, [this] { RunCommand(Command::kUndo); });

    redoButton_ = new QPushButton(QStringLiteral("Redo(&R)"), area);
    Place(redoButton_, 43, 19, 35, 13);
    connect(redoButton_, &QPushButton::clicked, this, [this] { RunCommand(Command::kRedo); });

    outlineButton_ = new QPushButton(QStringLiteral("Outline(&O)"), area);
    Place(outlineButton_, 60, 4, 40, 13);
    outlineButton_->setCheckable(true);
    connect(outlineButton_, &QPushButton::toggled, this,
            [this](bool ticked) { app::SetOutlineShown(session_, ticked); });

    gridButton_ = new QPushButton(QStringLiteral("Grid(&G)"), area);
    Place(gridButton_, 103, 4, 30, 13);
    gridButton_->setCheckable(true);
    connect(gridButton_, &QPushButton::toggled, this,
            [this](bool ticked) { app::SetGridShown(session_, ticked); });
}

QAction* PartPanel::action(app::PartPanelCommand command) const {
    for (const auto& [known, action] : actions_) {
        if (known == command) return action;
    }
    return nullptr;
}

QTreeWidgetItem* PartPanel::item(int part) const {
    const int count = std::clamp<int>(session_.model.parts.count, 0, model::kMaxParts);
    return part >= 0 && part < count ? items_[static_cast<std::size_t>(part)] : nullptr;
}

void PartPanel::RunCommand(app::PartPanelCommand command) {
    app::RunPartPanelCommand(session_, command, chooseFile_);
    RefreshMenuState();
}

void PartPanel::RefreshMenuState() {
    const app::PartMenuState state = app::MenuState(session_);
    for (const auto& [command, action] : actions_) action->setEnabled(state.Enabled(command));
    undoButton_->setEnabled(state.Enabled(app::PartPanelCommand::kUndo));
    redoButton_->setEnabled(state.Enabled(app::PartPanelCommand::kRedo));
}

void PartPanel::SetHistoryButtons(bool canUndo, bool canRedo) {
    undoButton_->setEnabled(canUndo);
    redoButton_->setEnabled(canRedo);
}

void PartPanel::ShowScale() {
    scaleBox_->setText(Text(app::ScaleText(session_.model.parts.scale)));
}

void PartPanel::RebuildTree(const model::PartTable& parts, bool showScale) {
    {
        // Built quietly: the selection and the boxes are settled once it stands.
        const QSignalBlocker quiet(tree_);
        tree_->clear();
        items_.fill(nullptr);
        const int count = std::clamp<int>(parts.count, 0, model::kMaxParts);
        QTreeWidgetItem* last = nullptr;
        for (int i = 0; i < count; ++i) {
            const auto slot = static_cast<std::size_t>(i);
            const int parent = parts.parent[slot];
            // Parents come first in the table; a part whose parent is not (yet) in the tree
            // stands at the top level rather than being lost.
            QTreeWidgetItem* parentItem =
                parent >= 0 && parent < i ? items_[static_cast<std::size_t>(parent)] : nullptr;
            QTreeWidgetItem* added = parentItem != nullptr ? new QTreeWidgetItem(parentItem)
                                                           : new QTreeWidgetItem(tree_);
            added->setText(0, Text(framework::DisplayText(parts.Name(i))));
            added->setFlags(added->flags() | Qt::ItemIsUserCheckable);
            added->setCheckState(0, Qt::Checked);
            items_[slot] = added;
            last = added;
        }
        tree_->expandAll();
        // As each item is shown while it is added, the tree ends scrolled to the last one.
        if (last != nullptr) tree_->scrollToItem(last);
        tree_->clearSelection();
        tree_->setCurrentItem(nullptr);
    }
    app::ShowAllParts(session_);
    if (showScale) ShowScale();
    SelectionFromTree();
}

void PartPanel::SelectionFromTree() {
    const QList<QTreeWidgetItem*> selected = tree_->selectedItems();
    model::PartIndex part = model::kNoPart;
    if (!selected.isEmpty()) {
        const int count = std::clamp<int>(session_.model.parts.count, 0, model::kMaxParts);
        for (int i = 0; i < count; ++i) {
            if (items_[static_cast<std::size_t>(i)] == selected.front()) {
                part = static_cast<model::PartIndex>(i);
                break;
            }
        }
    }
    app::SelectPart(session_, part);
    RefreshMenuState();
}

void PartPanel::TreeFromSelection() {
    QTreeWidgetItem* selected = item(session_.editor.SelectedPart);
    {
        const QSignalBlocker quiet(tree_);
        if (selected != nullptr) {
            tree_->setCurrentItem(selected);
            selected->setSelected(true);
            tree_->scrollToItem(selected);
        } else {
            tree_->clearSelection();
            tree_->setCurrentItem(nullptr);
        }
    }
    SelectionFromTree();
}

void PartPanel::PartTicked(QTreeWidgetItem* changed) {
    const int count = std::clamp<int>(session_.model.parts.count, 0, model::kMaxParts);
    for (int i = 0; i < count; ++i) {
        const auto slot = static_cast<std::size_t>(i);
        if (items_[slot] == changed) {
            app::SetPartVisible(session_, i, changed->checkState(0) == Qt::Checked);
            return;
        }
    }
}

void PartPanel::ScaleEdited() {
    const int selectionEnd =
        scaleBox_->hasSelectedText() ? scaleBox_->selectionEnd() : scaleBox_->cursorPosition();
    const app::ScaleBoxText filtered =
        app::ScaleInput(session_, scaleBox_->text().toStdString(), selectionEnd);
    if (filtered.refused) {
        ShowScale();
    } else if (filtered.dropped) {
        scaleBox_->setText(Text(filtered.text));
        scaleBox_->setCursorPosition(filtered.caret);
    }
}

void PartPanel::ShowEditMenu(const QPoint& atViewport) {
    QTreeWidgetItem* hit = tree_->itemAt(atViewport);
    if (hit == nullptr) return;
    tree_->setCurrentItem(hit);
    hit->setSelected(true);
    SelectionFromTree();
    // Centred on the point horizontally, its top at the point.
    const QPoint at = tree_->viewport()->mapToGlobal(atViewport);
    editMenu_->exec(at - QPoint(editMenu_->sizeHint().width() / 2, 0));
}

bool PartPanel::eventFilter(QObject* watched, QEvent* event) {
    // Leaving the scale box shows the scale in its own form. A menu opening takes no focus from
    // it.
    if (watched == scaleBox_ && event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        scaleBox_->setText(Text(app::ScaleBoxLeft(session_)));
    }
    return ToolPanel::eventFilter(watched, event);
}

}  // namespace panels
