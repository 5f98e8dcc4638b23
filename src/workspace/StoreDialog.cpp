#include "workspace/StoreDialog.h"

#include "remembered/RememberedNumbers.h"
#include "ui/Twips.h"
#include "ui/WindowParts.h"
#include "ui/Windows.h"
#include "workspace/DescriptionValidator.h"
#include "workspace/MainWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

StoreDialog::StoreDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Preparetostore"));
    setWindowTitle(tr("Review"));
    setFixedSize(Twips::toPixels(7275), Twips::toPixels(3195));
    setModal(true);

    auto *instruction = new QLabel(
        tr("Please add a description, then  associate  that description to your image sequence "
           "for this number.  Review in your minds eye twice before pressing the store button."),
        this);
    instruction->setObjectName(QStringLiteral("Label2"));
    instruction->setTextFormat(Qt::PlainText);
    instruction->setWordWrap(true);
    // Three lines of the desktop's font, down to the description row.
    Twips::place(instruction, 240, 120, 6135, 720);

    auto *caption = new QLabel(tr("Description"), this);
    caption->setObjectName(QStringLiteral("Description"));
    // Wide enough for the caption in the fonts Linux desktops use; the box moves
    // right by as much.
    Twips::place(caption, 120, 840, 1155, 375);

    m_description = new QLineEdit(this);
    m_description->setObjectName(QStringLiteral("Text1"));
    m_description->setValidator(new DescriptionValidator(m_description));
    Twips::place(m_description, 1320, 840, 5655, 375);
    caption->setBuddy(m_description);

    m_words = WindowParts::label(this, "lbWords");
    m_words->setWordWrap(true);
    m_words->setFont(WindowParts::font(QStringLiteral("MS Sans Serif"), 13.5));
    Twips::place(m_words, 120, 1440, 6855, 1575);

    auto *back = WindowParts::button(this, "Command2", tr("Back"));
    Twips::place(back, 3000, 2640, 1335, 495);
    auto *store = WindowParts::button(this, "Store", tr("Store"));
    Twips::place(store, 4440, 2640, 1335, 495);
    auto *forget = WindowParts::button(this, "Command1", tr("Forget it"));
    Twips::place(forget, 5880, 2640, 1335, 495);

    // The buttons sit on top of the lower part of the words' area.
    m_words->lower();

    setTabOrder(store, forget);
    setTabOrder(forget, m_description);
    setTabOrder(m_description, back);
    store->setFocus();

    connect(store, &QPushButton::clicked, this, &StoreDialog::storeNumber);
    connect(forget, &QPushButton::clicked, this, &StoreDialog::forgetNumber);
    connect(back, &QPushButton::clicked, this, &StoreDialog::reject);
}

void StoreDialog::setwords(const QString &words)
{
    m_words->setText(words);
}

void StoreDialog::clearDescription()
{
    m_description->clear();
}

void StoreDialog::storeNumber()
{
    const MainWindow *main = Windows::existing<MainWindow>();
    RememberedNumbers::instance()->store(
        {main ? main->GetCurrentNumber() : QString(), m_description->text(), m_words->text()});
    accept();
}

void StoreDialog::forgetNumber()
{
    accept();
}
