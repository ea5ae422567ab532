#include "ui/preferences/mainpreferencecontroller.h"

#include "core/config/preferencetables.h"
#include "core/config/productconfig.h"
#include "core/convert/vyconverter.h"
#include "core/notification/notificationcenter.h"
#include "ui/editor/editornotes.h"
#include "ui/preferences/libraryfilesbox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QComboBox* makePop(
    const QString& name, std::span<const PreferenceChoice> table, const QString& accessibleName, const QString& toolTip)
{
    auto* pop = new QComboBox;
    pop->setObjectName(name);
    pop->setAccessibleName(accessibleName);
    pop->setToolTip(toolTip);
    for (const PreferenceChoice& choice : table)
        pop->addItem(choice.title, choice.value);
    return pop;
}

QCheckBox* makeCheck(const QString& name, const QString& title, const QString& toolTip)
{
    auto* check = new QCheckBox(title);
    check->setObjectName(name);
    check->setAccessibleName(title);
    check->setToolTip(toolTip);
    return check;
}

// The value the table gives for the pop-up's selected title.
double selectedValue(const QComboBox* pop)
{
    return pop->currentData().toDouble();
}

QString yesNo(const QCheckBox* check)
{
    return check->isChecked() ? QStringLiteral("YES") : QStringLiteral("NO");
}

} // namespace

MainPreferenceController::MainPreferenceController(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Preference"));
    setWindowTitle(tr("Preferences"));
    buildLayout();
    connectControls();
    checkForInitState();
    clickKeepBtn();
}

void MainPreferenceController::buildLayout()
{
    m_playSoundStartChk = makeCheck(QStringLiteral("playSoundStartChk"), tr("Play a sound when the program starts"),
        tr("Play a short sound each time the program starts"));
    m_autoUpateChk = makeCheck(QStringLiteral("autoUpateChk"), tr("Check for updates automatically"),
        tr("Look for a newer version each time the program starts"));
    // Ticked writes "YES", which is what turns the warning off.
    m_showWarnningBtn = makeCheck(QStringLiteral("showWarnningBtn"),
        tr("Don't warn about ringtones longer than 40 seconds"), tr("Save long ringtones without asking first"));
    m_keepSourceSettingChk = makeCheck(QStringLiteral("keepSourceSettingChk"), tr("Keep source setting"),
        tr("Make ringtones with the source file's own sample rate, channels and bit rate"));
    m_keepSourceSettingChk->setChecked(true); // the editor starts converting in the source's own format

    m_sampleRatePop = makePop(QStringLiteral("sampleRatePop"), PreferenceTables::sampleRateDict(), tr("Sample rate"),
        tr("The ringtone's sample rate"));
    m_channelPop = makePop(QStringLiteral("channelPop"), PreferenceTables::channelseDict(), tr("Channels"),
        tr("Mono or stereo ringtones"));
    m_bitRatePop = makePop(
        QStringLiteral("bitRatePop"), PreferenceTables::bitRateDict(), tr("Bit rate"), tr("The ringtone's bit rate"));
    m_keyMoveDistPop = makePop(QStringLiteral("keyMoveDistPop"), PreferenceTables::keyMoveDict(), tr("Arrow key step"),
        tr("How far the arrow keys move the chosen part (Shift moves a tenth of it)"));
    m_ringsGapPop = makePop(QStringLiteral("ringsGapPop"), PreferenceTables::ringsGapDict(), tr("Gap between rings"),
        tr("The silence between two rings of the preview"));

    auto* general = new QGroupBox(tr("General"));
    auto* generalLayout = new QVBoxLayout(general);
    generalLayout->addWidget(m_playSoundStartChk);
    generalLayout->addWidget(m_autoUpateChk);
    generalLayout->addWidget(m_showWarnningBtn);

    auto* format = new QGroupBox(tr("Ringtone format"));
    auto* formatLayout = new QFormLayout(format);
    formatLayout->addRow(m_keepSourceSettingChk);
    formatLayout->addRow(tr("Sample rate:"), m_sampleRatePop);
    formatLayout->addRow(tr("Channels:"), m_channelPop);
    formatLayout->addRow(tr("Bit rate:"), m_bitRatePop);

    auto* editing = new QGroupBox(tr("Editing"));
    auto* editingLayout = new QFormLayout(editing);
    editingLayout->addRow(tr("Arrow keys move by:"), m_keyMoveDistPop);
    editingLayout->addRow(tr("Preview rings with:"), m_ringsGapPop);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    if (QPushButton* close = buttons->button(QDialogButtonBox::Close)) {
        close->setAccessibleName(tr("Close"));
        close->setToolTip(tr("Close the preferences; every choice is already kept"));
    }
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(general);
    layout->addWidget(format);
    layout->addWidget(editing);
    m_libraryFiles = new LibraryFilesBox;
    layout->addWidget(m_libraryFiles);
    layout->addWidget(buttons);
}

void MainPreferenceController::connectControls()
{
    connect(m_playSoundStartChk, &QCheckBox::clicked, this, &MainPreferenceController::clickPlaySoundStartBtn);
    connect(m_autoUpateChk, &QCheckBox::clicked, this, &MainPreferenceController::clickAutoUpdateBtn);
    connect(m_showWarnningBtn, &QCheckBox::clicked, this, &MainPreferenceController::clickShowWarnning);
    connect(m_keepSourceSettingChk, &QCheckBox::clicked, this, &MainPreferenceController::clickKeepBtn);
    for (QComboBox* pop : { m_sampleRatePop, m_channelPop, m_bitRatePop })
        connect(pop, &QComboBox::activated, this, &MainPreferenceController::changeChoose);
    connect(m_keyMoveDistPop, &QComboBox::activated, this, &MainPreferenceController::clickKeyMoveDistPop);
    connect(m_ringsGapPop, &QComboBox::activated, this, &MainPreferenceController::clickRingsGapPop);
}

void MainPreferenceController::checkForInitState()
{
    m_playSoundStartChk->setChecked(ProductConfig::isYes(QStringLiteral("PlaySoundWhenStart")));
    m_autoUpateChk->setChecked(ProductConfig::isYes(QStringLiteral("AutoUpdate")));
    m_showWarnningBtn->setChecked(ProductConfig::isYes(QStringLiteral("ShowTimeTip")));
}

void MainPreferenceController::clickPlaySoundStartBtn()
{
    ProductConfig::setValue(yesNo(m_playSoundStartChk), QStringLiteral("PlaySoundWhenStart"));
}

void MainPreferenceController::clickAutoUpdateBtn()
{
    ProductConfig::setValue(yesNo(m_autoUpateChk), QStringLiteral("AutoUpdate"));
}

void MainPreferenceController::clickShowWarnning()
{
    ProductConfig::setValue(yesNo(m_showWarnningBtn), QStringLiteral("ShowTimeTip"));
}

void MainPreferenceController::clickKeepBtn()
{
    const bool keep = m_keepSourceSettingChk->isChecked();
    if (keep) {
        m_sampleRatePop->setCurrentIndex(PreferenceTables::kKeepSourceSampleRateIndex);
        m_channelPop->setCurrentIndex(PreferenceTables::kKeepSourceChannelIndex);
        m_bitRatePop->setCurrentIndex(PreferenceTables::kKeepSourceBitRateIndex);
    }
    setAudioPopBtnState(!keep);
    // Unticked, the converter gets what the pop-ups show, so the window never shows one
    // format while the ringtone is made in another.
    postNotification();
}

void MainPreferenceController::changeChoose()
{
    postNotification();
}

void MainPreferenceController::postNotification()
{
    QVariantMap info;
    if (!m_keepSourceSettingChk->isChecked()) {
        info.insert(ConvertKey::SampleRate, static_cast<int>(selectedValue(m_sampleRatePop)));
        info.insert(ConvertKey::Channels, static_cast<int>(selectedValue(m_channelPop)));
        info.insert(ConvertKey::BitRate, static_cast<int>(selectedValue(m_bitRatePop)));
    }
    NotificationCenter::defaultCenter().post(EditorNote::SetAudioParm, this, info);
}

void MainPreferenceController::clickKeyMoveDistPop()
{
    NotificationCenter::defaultCenter().post(EditorNote::SetKeyMovie, this,
        { { EditorKey::KeyMoveDist, static_cast<float>(selectedValue(m_keyMoveDistPop)) } });
}

void MainPreferenceController::clickRingsGapPop()
{
    NotificationCenter::defaultCenter().post(
        EditorNote::SetRingsGapTime, this, { { EditorKey::RingsGap, selectedValue(m_ringsGapPop) } });
}

void MainPreferenceController::setAudioPopBtnState(bool enabled)
{
    for (QComboBox* pop : { m_sampleRatePop, m_channelPop, m_bitRatePop })
        pop->setEnabled(enabled);
}
