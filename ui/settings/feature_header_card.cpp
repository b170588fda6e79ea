#include "ui/settings/feature_header_card.h"

#include <utility>

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "core/settings_pages/page_registry.h"
#include "core/settings_transfer/row_defaults.h"
#include "ui/form/rounded_panel_view.h"
#include "ui/form/settings_colors.h"
#include "ui/form/settings_fonts.h"
#include "ui/form/settings_selectable_label.h"
#include "ui/form/settings_symbols.h"
#include "ui/settings/mini_preview_view.h"

namespace tavrel {

namespace {

QString qtext(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

}  // namespace

QPushButton* makePageResetButton(std::function<void()> onResetPage, QWidget* parent) {
    const QString title = qtext(PageResetTexts::buttonTitle);
    auto* button = new QPushButton(title, parent);
    button->setObjectName(QStringLiteral("pageResetButton"));
    button->setFont(settingsFont(12));
    button->setAccessibleName(title);
    button->setToolTip(QStringLiteral("把本页与默认值不同的设置恢复为默认值"));
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    QObject::connect(button, &QPushButton::clicked, button, [onResetPage = std::move(onResetPage)] {
        if (onResetPage) onResetPage();
    });
    return button;
}

QWidget* makeFeatureHeaderCard(FeaturePage page, QWidget* parent, QWidget* preview,
                               std::function<void()> onResetPage) {
    const FeaturePageInfo& info = featurePageInfo(page);
    const QColor accent = toQColor(systemColorValue(info.accentColor));

    auto* card = new RoundedPanelView(parent);
    card->setObjectName(QStringLiteral("featureHeaderCard"));
    card->setFill([](const QPalette& pal) { return settingsControlBackgroundColor(pal, 0.66); });
    card->setBorder([](const QPalette& pal) { return settingsSeparatorColor(pal, 0.22); });
    card->setCornerRadius(14);
    card->setOpaqueOverWindowBackground(true);
    auto* row = new QHBoxLayout(card);
    row->setContentsMargins(18, 16, 18, 16);
    row->setSpacing(16);

    auto* tile = new RoundedPanelView(card);
    tile->setFixedSize(46, 46);
    tile->setCornerRadius(12);
    tile->setFill([accent](const QPalette&) {
        QColor color = accent;
        color.setAlphaF(0.12f);
        return color;
    });
    auto* tileLayout = new QHBoxLayout(tile);
    tileLayout->setContentsMargins(8, 8, 8, 8);
    auto* symbol = new QLabel(tile);
    symbol->setFixedSize(30, 30);
    symbol->setAlignment(Qt::AlignCenter);
    symbol->setPixmap(settingsSymbolPixmap(info.symbolName, accent, 24, card->devicePixelRatioF()));
    tileLayout->addWidget(symbol);
    row->addWidget(tile, 0, Qt::AlignVCenter);

    auto* texts = new QWidget(card);
    texts->setMinimumWidth(260);
    auto* column = new QVBoxLayout(texts);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);
    auto* title = new SettingsSelectableLabel(qtext(info.title), texts);
    title->setObjectName(QStringLiteral("featureHeaderTitle"));
    title->setFont(settingsFont(15));
    auto* summary = new QLabel(texts);
    summary->setObjectName(QStringLiteral("featureHeaderSummary"));
    summary->setFont(settingsFont(12.5));
    summary->setText(qtext(info.previewSummary));
    summary->setToolTip(qtext(info.previewSummary));
    QPalette pal = summary->palette();
    pal.setColor(QPalette::WindowText, settingsSecondaryLabelColor(card->palette()));
    summary->setPalette(pal);
    summary->setMinimumWidth(1);
    summary->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    column->addWidget(title);
    column->addWidget(summary);
    // Under the summary, so the card keeps its width at the window's narrowest.
    if (onResetPage) {
        column->addWidget(makePageResetButton(std::move(onResetPage), texts), 0, Qt::AlignLeft);
    }
    row->addWidget(texts, 1, Qt::AlignVCenter);

    if (preview) {
        preview->setParent(card);
    } else {
        auto* mini = new MiniPreviewView(card);
        mini->setAccentColor(accent);
        mini->setKind(page);
        preview = mini;
    }
    preview->setFixedSize(168, 54);
    row->addWidget(preview, 0, Qt::AlignVCenter);
    return card;
}

}  // namespace tavrel
