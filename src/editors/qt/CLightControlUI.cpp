#include "editors/qt/CLightControlUI.h"

#include "common/DebugLog.h"
#include "ui/CControlAccess.h"
#include "ui/CControlFactory.h"
#include "ui/CNotifyBridge.h"
#include "ui/CResourceManager.h"
#include "ui/CSkinLoader.h"
#include "ui/CSkinPaths.h"

#include <QSet>
#include <QStackedWidget>
#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QStyle>

#include <algorithm>

namespace nq::pages {

using ui::CControlAccess;

namespace {

constexpr const char* kComponentEdits[3] = {"deng_edit_R", "deng_edit_G", "deng_edit_B"};
constexpr const char* kPresetPrefix = "color_option_";
constexpr const char* kSelectedSwatch = "selectedSwatch";
constexpr const char* kSelectedColour = "selectedColour";
constexpr const char* kPickPoint = "pickPoint";
constexpr const char* kPaletteName = "deng_Color_Pallet";

QString FullName(LightEditorModel::Panel panel, const char* name)
{
    return QString(LightEditorModel::kPanelPrefixes[size_t(panel)]) + name;
}

// "prefix" + number; -1 when name is not of that form.
int NumberAfter(const QString& name, const QString& prefix)
{
    if (name.size() <= prefix.size() || !name.startsWith(prefix))
        return -1;
    bool ok = false;
    const int n = name.mid(prefix.size()).toInt(&ok);
    return ok && n >= 0 && name[prefix.size()].isDigit() ? n : -1;
}

} // namespace

CLightControlUI::CLightControlUI(QWidget* parent) : QWidget(parent), m_model(std::make_unique<LightEditorModel>())
{
    MergeTexts();
    auto* box = new QHBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    m_root = ui::CSkinLoader::LoadInto(this, kLayoutName);
    for (int p = 0; p < LightEditorModel::kPanels; ++p)
        BindPanel(Panel(p));
    if (QScreen* screen = QGuiApplication::primaryScreen())
        m_model->SetScreenSize(screen->geometry().width(), screen->geometry().height());
}

CLightControlUI::~CLightControlUI() = default;

void CLightControlUI::RegisterClass()
{
    auto& factory = ui::CControlFactory::Instance();
    factory.RegistControl<CLightControlUI>(kClassName);
    factory.RegistControl<CLightControlUI>("CLightControlUI");
    // The name a layout uses for a bare tree of the editor's controls: the editor builds it.
    factory.RegistControl<CLightControlUI>("LightSetControlUI");
    MergeTexts();
}

void CLightControlUI::MergeTexts()
{
    ui::CResourceManager::Instance().MergeLanguagePart("light");
}

QWidget* CLightControlUI::Control(Panel panel, const char* name) const
{
    return CControlAccess::FindControl(const_cast<CLightControlUI*>(this), FullName(panel, name));
}

void CLightControlUI::BindPanel(Panel panel)
{
    for (const char* name : kComponentEdits) {
        if (auto* edit = qobject_cast<QLineEdit*>(Control(panel, name))) {
            edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,3}"), edit));
            edit->setMaxLength(3);
        }
    }
    if (QWidget* palette = Control(panel, kPaletteName)) {
        palette->installEventFilter(this);
        palette->setCursor(Qt::CrossCursor);
        palette->setProperty(kSelectedColour, QVariant::fromValue<uint>(0xFF000000u));
    }
    // The preset buttons show their colour.
    for (auto* button : findChildren<QAbstractButton*>()) {
        const QString name = button->objectName();
        if (NumberAfter(name, FullName(panel, kPresetPrefix)) < 0)
            continue;
        if (CControlAccess::BkColor(button) != 0)
            CControlAccess::SetBkColor(button, CControlAccess::BkColor(button));
        // The ring marks the colour shown, never the button last clicked.
        button->setFocusPolicy(Qt::NoFocus);
        button->setProperty(kSelectedSwatch, false);
    }
}

void CLightControlUI::MarkPreset(Panel panel, uint32_t word)
{
    const QString prefix = FullName(panel, kPresetPrefix);
    for (auto* button : findChildren<QAbstractButton*>()) {
        if (NumberAfter(button->objectName(), prefix) < 0)
            continue;
        const bool selected = (CControlAccess::BkColor(button) & 0xFFFFFFu) == (word & 0xFFFFFFu);
        if (button->property(kSelectedSwatch).toBool() == selected)
            continue;
        button->setProperty(kSelectedSwatch, selected);
        button->style()->unpolish(button);
        button->style()->polish(button);
    }
}

void CLightControlUI::AddKeyboardPanels()
{
    if (!m_root || Control(Panel::Logo, "light_combo_modeSelect"))
        return;
    auto* stack = new QStackedWidget(this);
    stack->setObjectName("Light_seting_layout");
    layout()->removeWidget(m_root);
    layout()->addWidget(stack);
    stack->addWidget(m_root);
    // The main panel's keyboard controls go right under its effect row.
    auto insertAfterEffects = [](QWidget* panelRoot, QWidget* extra) {
        auto* frame = panelRoot ? panelRoot->findChild<QWidget*>("lighteffect_layout") : nullptr;
        auto* box = frame ? qobject_cast<QBoxLayout*>(frame->layout()) : nullptr;
        if (box && extra)
            box->insertWidget(2, extra);
    };
    auto* holder = new QWidget;
    insertAfterEffects(m_root, ui::CSkinLoader::LoadInto(holder, "XML\\CustomControlXML\\LightControlKeyboard.xml") ? holder : nullptr);
    for (Panel panel : {Panel::Logo, Panel::St}) {
        auto* page = new QWidget(stack);
        QWidget* root = ui::CSkinLoader::LoadInto(page, kLayoutName);
        if (panel == Panel::Logo) {
            auto* logo = new QWidget;
            insertAfterEffects(root, ui::CSkinLoader::LoadInto(logo, "XML\\CustomControlXML\\LightControlLogo.xml") ? logo : nullptr);
        }
        const QString prefix = LightEditorModel::kPanelPrefixes[size_t(panel)];
        QSet<QString> names;
        for (QWidget* w : page->findChildren<QWidget*>()) {
            if (!w->objectName().isEmpty() && !w->objectName().startsWith("qt_")) {
                names.insert(w->objectName());
                w->setObjectName(prefix + w->objectName());
            }
        }
        // Style rules that name a control by "#name" follow it to its new name.
        static const QRegularExpression kIdSelector("#([A-Za-z_][A-Za-z0-9_]*)");
        for (QWidget* w : page->findChildren<QWidget*>()) {
            QString sheet = w->styleSheet();
            if (sheet.isEmpty())
                continue;
            QString renamed;
            qsizetype at = 0;
            for (auto it = kIdSelector.globalMatch(sheet); it.hasNext();) {
                const QRegularExpressionMatch match = it.next();
                renamed += sheet.mid(at, match.capturedStart() - at);
                renamed += names.contains(match.captured(1)) ? "#" + prefix + match.captured(1) : match.captured(0);
                at = match.capturedEnd();
            }
            w->setStyleSheet(renamed + sheet.mid(at));
        }
        stack->addWidget(page);
        BindPanel(panel);
    }
}

// ---- effects and records ----

void CLightControlUI::SetSameModePermission(int flag)
{
    m_model->SetSameModePermission(flag);
    ApplyEffectSwitch(Panel::Main, EffectPosition(Panel::Main));
}

void CLightControlUI::FillEffects(Panel panel, const std::vector<std::string>& names, const std::vector<bool>& visible,
                                  int highestBrightness, int highestSpeed)
{
    auto* combo = qobject_cast<QComboBox*>(Control(panel, "light_combo_modeSelect"));
    if (combo) {
        ui::CNotifyBridge::Silence silence;
        CControlAccess::RemoveAllItems(combo);
        auto& texts = ui::CResourceManager::Instance();
        auto* view = qobject_cast<QListView*>(combo->view());
        for (size_t i = 0; i < names.size(); ++i) {
            const QString key = QString::fromStdString(names[i]);
            const int row = CControlAccess::AddItem(combo, texts.Text(key), key);
            combo->setItemData(row, QSize(0, kItemHeight), Qt::SizeHintRole);
            if (view)
                view->setRowHidden(row, !(i < visible.size() && visible[i]));
        }
    }
    if (QWidget* brightness = Control(panel, "deng_light_slider")) {
        CControlAccess::SetRange(brightness, 0, highestBrightness);
        if (QWidget* speed = Control(panel, "deng_speed_slider"))
            CControlAccess::SetRange(speed, 0, highestSpeed);
    }
}

void CLightControlUI::Show(Panel panel, const LightSetting& record)
{
    const int zone = LightEditorModel::ZoneOffset(panel);
    const int effect = record[zone + LightSetting::kEffect];
    SetEffectPosition(panel, effect);
    ApplyEffectSwitch(panel, effect);
    SetBrightness(panel, record[zone + LightSetting::kBrightness]);
    SetSpeed(panel, record[zone + LightSetting::kSpeed]);
    for (int c = 0; c < 3; ++c)
        SetComponentText(panel, c, QString::number(record[zone + LightSetting::kRed + c]));
    const uint32_t word = LightEditorModel::ColourWord(record[zone + LightSetting::kRed],
                                                       record[zone + LightSetting::kGreen],
                                                       record[zone + LightSetting::kBlue]);
    SetPaletteColour(panel, word);
    CControlAccess::SetBkColor(Control(panel, "deng_colordp_btn"), word);
    MarkPreset(panel, word);
    // Silently: the record already holds the flag, and a page refresh (an on-board slot switch
    // among them) must not write the settings back into the mouse's slot 0.
    SetMultiColour(panel, record[zone + LightSetting::kMultiColour] != 0, false);
    SetDirection(panel, record[zone + LightSetting::kDirection]);
    if (panel == Panel::Logo)
        SetLogoLight(record[LightSetting::kLogoOnOff] != 0);
    if (panel == Panel::Main)
        ApplyEffectSwitch(panel, effect);
}

void CLightControlUI::ApplyEffectSwitch(Panel panel, int effect)
{
    const auto sw = LightEditorModel::SwitchFor(m_model->DeviceType(), panel, effect, m_model->SameModePermission() != 0);
    for (const auto& change : sw.changes) {
        QWidget* control = Control(panel, change.control.c_str());
        if (!control)
            continue;
        switch (change.kind) {
        case LightEditorModel::ControlChange::Enable:
            control->setEnabled(change.on);
            break;
        case LightEditorModel::ControlChange::Show:
            control->setVisible(change.on);
            break;
        case LightEditorModel::ControlChange::Text:
            CControlAccess::SetTextKey(control, QString::fromStdString(change.text));
            break;
        }
    }
}

// ---- controls ----

int CLightControlUI::EffectPosition(Panel panel) const
{
    QWidget* combo = Control(panel, "light_combo_modeSelect");
    return combo ? CControlAccess::CurrentItem(combo) : -1;
}

void CLightControlUI::SetEffectPosition(Panel panel, int position)
{
    // An effect the list does not hold shows no effect rather than the one shown before.
    QWidget* combo = Control(panel, "light_combo_modeSelect");
    if (!CControlAccess::SelectItem(combo, position, false))
        CControlAccess::SelectItem(combo, -1, false);
}

int CLightControlUI::Brightness(Panel panel) const { return CControlAccess::Value(Control(panel, "deng_light_slider")); }
void CLightControlUI::SetBrightness(Panel panel, int value) { CControlAccess::SetValue(Control(panel, "deng_light_slider"), value); }
int CLightControlUI::Speed(Panel panel) const { return CControlAccess::Value(Control(panel, "deng_speed_slider")); }
void CLightControlUI::SetSpeed(Panel panel, int value) { CControlAccess::SetValue(Control(panel, "deng_speed_slider"), value); }

int CLightControlUI::Direction(Panel panel) const
{
    return CControlAccess::IsSelected(Control(panel, "deng_FXL_check")) ? 1 : 0;
}

void CLightControlUI::SetDirection(Panel panel, int direction)
{
    CControlAccess::SetSelected(Control(panel, "deng_FXL_check"), direction != 0, false);
    CControlAccess::SetSelected(Control(panel, "deng_FXR_check"), direction == 0, false);
}

bool CLightControlUI::MultiColour(Panel panel) const
{
    return CControlAccess::IsSelected(Control(panel, "deng_7color_check"));
}

void CLightControlUI::SetMultiColour(Panel panel, bool on, bool notify)
{
    QWidget* check = Control(panel, "deng_7color_check");
    if (check && CControlAccess::IsSelected(check) != on)
        CControlAccess::SetSelected(check, on, notify);
}

QString CLightControlUI::ComponentText(Panel panel, int channel) const
{
    if (channel < 0 || channel > 2)
        return {};
    QWidget* edit = Control(panel, kComponentEdits[channel]);
    return edit ? CControlAccess::GetText(edit) : QString();
}

void CLightControlUI::SetComponentText(Panel panel, int channel, const QString& text)
{
    if (channel < 0 || channel > 2)
        return;
    ui::CNotifyBridge::Silence silence;
    CControlAccess::SetText(Control(panel, kComponentEdits[channel]), text);
}

uint32_t CLightControlUI::PaletteColour(Panel panel) const
{
    QWidget* palette = Control(panel, kPaletteName);
    return palette ? palette->property(kSelectedColour).toUInt() : 0xFF000000u;
}

void CLightControlUI::SetPaletteColour(Panel panel, uint32_t word)
{
    if (QWidget* palette = Control(panel, kPaletteName)) {
        palette->setProperty(kSelectedColour, QVariant::fromValue<uint>(word | 0xFF000000u));
        // The marker goes where the palette shows this colour, if it shows it.
        palette->setProperty(kPickPoint, QVariant());
        palette->update();
    }
}

uint32_t CLightControlUI::PresetColour(Panel panel, int n) const
{
    QWidget* button = CControlAccess::FindControl(const_cast<CLightControlUI*>(this),
                                                  FullName(panel, kPresetPrefix) + QString::number(n));
    return button ? CControlAccess::BkColor(button) : 0;
}

uint32_t CLightControlUI::ShownColour(Panel panel) const
{
    QWidget* button = Control(panel, "deng_colordp_btn");
    return button ? CControlAccess::BkColor(button) : 0;
}

int CLightControlUI::CustomGroup() const
{
    QWidget* combo = Control(Panel::Main, "light_combo_custommodeSelect");
    return combo ? CControlAccess::CurrentItem(combo) : -1;
}

void CLightControlUI::SetCustomGroup(int position)
{
    CControlAccess::SelectItem(Control(Panel::Main, "light_combo_custommodeSelect"), position, false);
}

int CLightControlUI::LedMode() const
{
    QWidget* combo = Control(Panel::Main, "light_combo_ZZCCmodeSelect");
    return combo ? CControlAccess::CurrentItem(combo) : -1;
}

void CLightControlUI::SetLedMode(int position)
{
    CControlAccess::SelectItem(Control(Panel::Main, "light_combo_ZZCCmodeSelect"), position, false);
}

bool CLightControlUI::LogoLight() const { return CControlAccess::IsSelected(Control(Panel::Logo, "RGBdeng_check")); }
void CLightControlUI::SetLogoLight(bool on) { CControlAccess::SetSelected(Control(Panel::Logo, "RGBdeng_check"), on, false); }

void CLightControlUI::ShowColour(Panel panel, uint32_t word, bool palette)
{
    SetComponentText(panel, 0, QString::number(LightEditorModel::RedOf(word)));
    SetComponentText(panel, 1, QString::number(LightEditorModel::GreenOf(word)));
    SetComponentText(panel, 2, QString::number(LightEditorModel::BlueOf(word)));
    // The model stored multicolour off with the colour.
    SetMultiColour(panel, false, false);
    if (palette)
        SetPaletteColour(panel, word);
    CControlAccess::SetBkColor(Control(panel, "deng_colordp_btn"), word | 0xFF000000u);
    MarkPreset(panel, word);
}

void CLightControlUI::OnComponentEdited(Panel panel, int channel)
{
    LightEditorModel& model = *m_model;
    const auto edited = model.EditComponent(panel, channel, ComponentText(panel, channel).toStdString());
    SetComponentText(panel, channel, QString::fromStdString(edited.shown));
    SetMultiColour(panel, false, false);
    if (auto* target = model.GetTarget()) {
        const LightSetting record = target->LightRecord(panel);
        const int zone = LightEditorModel::ZoneOffset(panel);
        const uint32_t word = LightEditorModel::ColourWord(
            record[zone + LightSetting::kRed], record[zone + LightSetting::kGreen], record[zone + LightSetting::kBlue]);
        SetPaletteColour(panel, word);
        CControlAccess::SetBkColor(Control(panel, "deng_colordp_btn"), word);
        MarkPreset(panel, word);
    }
}

// ---- notifications ----

bool CLightControlUI::HandleNotify(const ui::TNotify& msg)
{
    QWidget* sender = msg.sender;
    if (!sender || !isAncestorOf(sender))
        return false;
    std::string bareName;
    const Panel panel = LightEditorModel::PanelOfName(msg.SenderName().toStdString(), &bareName);
    const QString name = QString::fromStdString(bareName);
    const QString& type = msg.type;
    const int value = int(msg.wParam);
    LightEditorModel& model = *m_model;

    if (name == "light_combo_modeSelect") {
        if (type == "itemselect") {
            ApplyEffectSwitch(panel, value);
            model.ChooseEffect(panel, value);
        }
        return true;
    }
    if (name == "deng_light_slider" || name == "deng_speed_slider") {
        if (type == "valuechanged") {
            if (name == "deng_light_slider")
                model.SetBrightness(panel, value);
            else
                model.SetSpeed(panel, value);
        }
        return true;
    }
    if (name == "deng_FXL_check" || name == "deng_FXR_check") {
        if (type == "selectchanged" && value != 0) {
            const bool left = name == "deng_FXL_check";
            SetDirection(panel, left ? 1 : 0);
            model.SetDirection(panel, left);
        }
        return true;
    }
    if (name == "deng_7color_check") {
        if (type == "selectchanged")
            model.SetMultiColour(panel, value != 0);
        return true;
    }
    for (int channel = 0; channel < 3; ++channel) {
        if (name != kComponentEdits[channel])
            continue;
        // Enter takes the value as leaving the edit does.
        if (type == "killfocus" || type == "return")
            OnComponentEdited(panel, channel);
        return true;
    }
    if (name == kPaletteName) {
        if (type == "colorchanged")
            ShowColour(panel, model.ChooseColour(panel, PaletteColour(panel), true), false);
        return true;
    }
    if (const int n = NumberAfter(name, kPresetPrefix); n >= 0) {
        if (type == "click")
            ShowColour(panel, model.ChooseColour(panel, PresetColour(panel, n), false), true);
        return true;
    }
    if (panel == Panel::Main && name == "light_combo_custommodeSelect") {
        if (type == "itemselect" && model.DeviceType() == LightEditorModel::kKeyboard)
            model.SetCustomGroup(value);
        return true;
    }
    if (panel == Panel::Main && name == "light_combo_ZZCCmodeSelect") {
        if (type == "itemselect" && model.DeviceType() == LightEditorModel::kKeyboard)
            model.SetLedMode(value);
        return true;
    }
    if (panel == Panel::Logo && name == "RGBdeng_check") {
        if (type == "selectchanged")
            model.SetLogoLight(value != 0);
        return true;
    }
    if (name == "deng_same_mode") {
        // Only the main panel's button has an action.
        if (type == "click" && panel == Panel::Main) {
            std::vector<LightEditorModel::SameModeDevice> devices;
            if (sameModeDevices)
                devices = sameModeDevices();
            else if (model.GetTarget())
                devices.push_back({model.GetTarget(), model.DeviceType() == LightEditorModel::kKeyboard});
            model.SameMode(devices);
        }
        return true;
    }
    return false;
}

// ---- the colour palette ----

QRgb CLightControlUI::PaletteColourAt(const QSize& size, const QPoint& at)
{
    const int w = std::max(1, size.width() - 1);
    const int h = std::max(1, size.height() - 1);
    const int x = std::clamp(at.x(), 0, w);
    const int y = std::clamp(at.y(), 0, h);
    // Hue across, full saturation at the top fading to white at the bottom.
    const QColor colour = QColor::fromHsv(std::min(359, x * 360 / (w + 1)), 255 - y * 255 / h, 255);
    return colour.rgb();
}

void CLightControlUI::PaintPalette(QWidget* palette)
{
    if (m_paletteImage.size() != palette->size()) {
        m_paletteImage = QImage(palette->size(), QImage::Format_RGB32);
        for (int y = 0; y < m_paletteImage.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(m_paletteImage.scanLine(y));
            for (int x = 0; x < m_paletteImage.width(); ++x)
                line[x] = PaletteColourAt(palette->size(), QPoint(x, y));
        }
    }
    QPainter painter(palette);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath clip;
    clip.addRoundedRect(QRectF(palette->rect()), 6, 6);
    painter.setClipPath(clip);
    painter.drawImage(0, 0, m_paletteImage);
    const QVariant point = palette->property(kPickPoint);
    if (point.isValid()) {
        const QPoint p = point.toPoint();
        painter.setPen(QPen(Qt::black, 3));
        painter.drawEllipse(p, 6, 6);
        painter.setPen(QPen(Qt::white, 1.5));
        painter.drawEllipse(p, 6, 6);
    }
}

void CLightControlUI::PickColour(QWidget* palette, const QPoint& at)
{
    const QPoint p(std::clamp(at.x(), 0, palette->width() - 1), std::clamp(at.y(), 0, palette->height() - 1));
    palette->setProperty(kSelectedColour, QVariant::fromValue<uint>(PaletteColourAt(palette->size(), p) | 0xFF000000u));
    palette->setProperty(kPickPoint, p);
    palette->update();
}

bool CLightControlUI::eventFilter(QObject* watched, QEvent* event)
{
    auto* palette = qobject_cast<QWidget*>(watched);
    if (!palette || palette->objectName().right(int(qstrlen(kPaletteName))) != kPaletteName)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Paint:
        PaintPalette(palette);
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->buttons() & Qt::LeftButton)
            PickColour(palette, mouse->position().toPoint());
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            PickColour(palette, mouse->position().toPoint());
            ui::CNotifyBridge::Raise(palette, "colorchanged");
        }
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}

} // namespace nq::pages
