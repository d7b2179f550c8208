#include "panels/material_panel.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QTableWidget>
#include <algorithm>

namespace panels {

namespace {

constexpr std::array<const char*, 3> kChannelCaptions = {"Red", "Green", "Blue"};

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

MaterialPanel::MaterialPanel(app::Session& session, files::SettingsFile settings)
    : ToolPanel(kMaterialPanelCaption, app::kMaterialPanelSection, std::move(settings),
                kMaterialPanelWidth, kMaterialPanelHeight),
      session_(session) {
    BuildControls();
    ShowList();
}

MaterialPanel::~MaterialPanel() = default;

void MaterialPanel::BuildControls() {
    QWidget* area = body();

    list_ = new QTableWidget(0, app::kMaterialColumns, area);
    Place(list_, 5, 5, kMaterialPanelWidth - 10, 90);
    for (int column = 0; column < app::kMaterialColumns; ++column) {
        const std::string_view title = app::kMaterialColumnTitles[column];
        auto* header = new QTableWidgetItem(QString::fromUtf8(title.data(), title.size()));
        header->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        list_->setHorizontalHeaderItem(column, header);
    }
    // 40 pixels a column, or what "-0.000" needs in the panel's font when that is wider, so that
    // no value is cut short.
    const int columnWidth =
        std::max(kMaterialColumnPixels,
                 list_->fontMetrics().horizontalAdvance(QStringLiteral("-0.000")) + 8);
    for (int column = 0; column < app::kMaterialColumns; ++column) {
        list_->setColumnWidth(column, columnWidth);
    }
    list_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list_->horizontalHeader()->setHighlightSections(false);
    list_->verticalHeader()->hide();
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 2);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setShowGrid(true);
    list_->setWordWrap(false);
    // The seven columns fit side by side with the vertical scroll bar.
    const int needed = app::kMaterialColumns * columnWidth + 2 * list_->frameWidth() +
                       list_->verticalScrollBar()->sizeHint().width();
    if (list_->width() < needed) {
        list_->resize(needed, list_->height());
        body()->setFixedWidth(list_->x() * 2 + needed);
    }
    connect(list_, &QTableWidget::itemSelectionChanged, this, [this] {
        const QList<QTableWidgetSelectionRange> ranges = list_->selectedRanges();
        app::SelectMaterialRow(session_.materials, ranges.isEmpty() ? -1 : ranges.front().topRow());
        ShowSliders();
    });

    const int right = body()->width();
    for (int c = 0; c < 3; ++c) {
        const int y = 100 + 16 * c;
        auto* caption = new QLabel(QString::fromUtf8(kChannelCaptions[c]), area);
        Place(caption, 5, y + 1, 22, 10);

        QSlider* slider = sliders_[c] = new QSlider(Qt::Horizontal, area);
        Place(slider, 27, y, 100, 14);
        slider->setRange(0, app::kMaterialSliderMax);
        slider->setPageStep(100);
        // Only the end of a change applies: a drag when it is let go, a click or a key at once.
        const auto ended = [this, c] {
            app::EndMaterialSliderChange(session_.materials, session_.PartMeshes(), c,
                                         sliders_[c]->value());
            ShowAppliedChange();
        };
        connect(slider, &QSlider::sliderReleased, this, ended);
        connect(slider, &QSlider::valueChanged, this, [slider, ended] {
            if (!slider->isSliderDown()) ended();
        });

        labels_[c] = new QLabel(QStringLiteral("0.000"), area);
        Place(labels_[c], 130, y + 1, 24, 10);

        const auto step = [this, c](int by) {
            app::StepMaterialSlider(session_.materials, session_.PartMeshes(), c, by);
            ShowAppliedChange();
        };
        down_[c] = new QPushButton(QString::fromUtf8("▼"), area);
        up_[c] = new QPushButton(QString::fromUtf8("▲"), area);
        down_[c]->setGeometry(DialogX(baseUnits(), 156), DialogY(baseUnits(), y),
                              DialogX(baseUnits(), 12), DialogY(baseUnits(), 12));
        up_[c]->setGeometry(down_[c]->geometry().translated(DialogX(baseUnits(), 14), 0));
        for (QPushButton* button : {down_[c], up_[c]}) {
            button->setFocusPolicy(Qt::NoFocus);
            if (button->geometry().right() >= right)
                body()->setFixedWidth(button->geometry().right() + 4);
        }
        connect(down_[c], &QPushButton::clicked, this, [step] { step(-1); });
        connect(up_[c], &QPushButton::clicked, this, [step] { step(1); });
    }

    reset_ = new QPushButton(QStringLiteral("Reset(&R)"), area);
    Place(reset_, 130, 148, 50, 12);
    connect(reset_, &QPushButton::clicked, this,
            [this] { app::ResetMaterialColours(session_.materials, session_.PartMeshes()); });
}

void MaterialPanel::RebuildList() {
    app::RebuildMaterialList(session_.materials, session_.PartMeshes(), settings());
    ShowList();
}

void MaterialPanel::StoreSettings() {
    files::LogFailedSettingsWrite(app::SaveMaterialSettings(session_.materials, settings()),
                                  "MATERIAL");
}

void MaterialPanel::Close() {
    StoreSettings();
    ToolPanel::Close();
}

void MaterialPanel::ShowList() {
    const app::MaterialList& materials = session_.materials;
    {
        const QSignalBlocker quiet(list_);
        list_->clearContents();
        list_->setRowCount(static_cast<int>(materials.rows.size()));
        for (int row = 0; row < list_->rowCount(); ++row) {
            for (int column = 0; column < app::kMaterialColumns; ++column) {
                list_->setItem(row, column,
                               new QTableWidgetItem(Text(materials.rows[row][column])));
            }
        }
        list_->clearSelection();
        if (materials.HasSelection()) list_->selectRow(materials.selected);
    }
    ShowSliders();
}

void MaterialPanel::ShowSliders() {
    const app::MaterialList& materials = session_.materials;
    for (int c = 0; c < 3; ++c) {
        const QSignalBlocker quiet(sliders_[c]);
        sliders_[c]->setValue(materials.sliders[c]);
        labels_[c]->setText(Text(materials.labels[c]));
    }
}

void MaterialPanel::ShowAppliedChange() {
    const app::MaterialList& materials = session_.materials;
    ShowSliders();
    if (!materials.HasSelection()) return;
    for (int column = app::kSetRed; column <= app::kSetBlue; ++column) {
        if (QTableWidgetItem* cell = list_->item(materials.selected, column)) {
            cell->setText(Text(materials.rows[materials.selected][column]));
        }
    }
    // Kept at once, so that a crash loses no colour chosen.
    files::LogFailedSettingsWrite(app::SaveSelectedMaterial(materials, settings()), "MATERIAL");
}

}  // namespace panels
