// The field type dialog: every type and every option of the column's type
// row, reachable with the mouse and with the keys (each control has its
// accelerator). A control applies only to the types that take it and is
// greyed out for the others.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QPushButton>
#include <QSpinBox>

#include "app/UserDialogs.h"
#include "codepage/CodePages.h"
#include "qtcommon/QtText.h"

namespace zorbik {

std::optional<FieldChoice> QtUserDialogs::AskFieldType(const FieldChoice& current)
{
    QDialog dialog(owner_);
    dialog.setWindowTitle(QtText(MessageId::FieldDialogTitle, language_));
    auto* form = new QFormLayout(&dialog);
    const auto text = [this](MessageId id) { return QtText(id, language_); };

    auto* type = new QComboBox(&dialog);
    // The name the list shows, and the layout file's word where it differs.
    for (const FieldType t : kFieldTypes) {
        const QString name = QtText(FieldTypeName(t), language_);
        const QString word = QLatin1String(FieldTypeWord(t).data(), static_cast<qsizetype>(FieldTypeWord(t).size()));
        type->addItem(name.contains(word) ? name : name + QStringLiteral(" (") + word + QLatin1Char(')'),
                      static_cast<int>(t));
    }
    type->setCurrentIndex(std::max(0, type->findData(static_cast<int>(ConvertedType(current.type)))));
    auto* big = new QCheckBox(text(MessageId::FieldDialogBig), &dialog);
    auto* isUnsigned = new QCheckBox(text(MessageId::FieldDialogUnsigned), &dialog);
    auto* scale = new QSpinBox(&dialog);
    scale->setRange(0, kMaxScale);
    auto* sign = new QComboBox(&dialog);
    for (const MessageId id : {MessageId::SignTrailing, MessageId::SignLeading, MessageId::SignSeparateTrailing,
                               MessageId::SignSeparateLeading})
        sign->addItem(text(id));
    auto* ebcdic = new QCheckBox(text(MessageId::FieldDialogEbcdic), &dialog);
    auto* ibm = new QCheckBox(text(MessageId::FieldDialogIbm), &dialog);
    auto* date = new QComboBox(&dialog);
    for (const char* form : {"YYYYMMDD", "YYMMDD", "DDMMYYYY", "MMDDYYYY", "YYYYDDD"})
        date->addItem(QLatin1String(form));
    date->addItem(text(MessageId::DateDays1899));
    auto* codePage = new QComboBox(&dialog);
    codePage->addItem(text(MessageId::CodePageOfSource), 0);
    for (const std::uint16_t page : KnownCodePages())
        codePage->addItem(QtText(CodePageName(page), language_), page);

    // A name the layout file and every target take, or none.
    auto* name = new QLineEdit(QtText(current.traits.name), &dialog);
    name->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[A-Za-z0-9_-]{0,64}")), name));
    auto* width = new QSpinBox(&dialog);
    width->setRange(0, 65535);
    width->setValue(static_cast<int>(std::min<std::uint32_t>(current.traits.width, 65535)));

    const FieldOptions& o = current.options;
    big->setChecked(o.bigEndian);
    isUnsigned->setChecked(o.isUnsigned);
    scale->setValue(o.scale);
    sign->setCurrentIndex(static_cast<int>(o.sign));
    ebcdic->setChecked(o.ebcdic);
    ibm->setChecked(o.ibm);
    date->setCurrentIndex(static_cast<int>(o.date));
    codePage->setCurrentIndex(std::max(0, codePage->findData(o.codePage)));

    form->addRow(text(MessageId::FieldDialogType), type);
    form->addRow(big);
    form->addRow(isUnsigned);
    form->addRow(text(MessageId::FieldDialogScale), scale);
    form->addRow(text(MessageId::FieldDialogSign), sign);
    form->addRow(ebcdic);
    form->addRow(ibm);
    form->addRow(text(MessageId::FieldDialogDate), date);
    form->addRow(text(MessageId::FieldDialogCodePage), codePage);
    form->addRow(text(MessageId::FieldDialogName), name);
    form->addRow(text(MessageId::FieldDialogWidth), width);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(text(MessageId::OkButton));
    buttons->button(QDialogButtonBox::Cancel)->setText(text(MessageId::CancelButton));
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    const auto chosen = [&] { return static_cast<FieldType>(type->currentData().toInt()); };
    const auto enable = [&] {
        const FieldType t = chosen();
        const bool integer = t == FieldType::Integer, real = t == FieldType::BinReal;
        big->setEnabled(integer || real);
        isUnsigned->setEnabled(integer || t == FieldType::Packed);
        scale->setEnabled(integer || t == FieldType::Packed || t == FieldType::Zoned || t == FieldType::DecimalNumber);
        sign->setEnabled(t == FieldType::Zoned);
        ebcdic->setEnabled(t == FieldType::Zoned);
        ibm->setEnabled(real);
        date->setEnabled(t == FieldType::Date);
        codePage->setEnabled(t == FieldType::Text);
    };
    enable();
    QObject::connect(type, &QComboBox::currentIndexChanged, &dialog, enable);
    type->setFocus();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;

    // Only what the chosen type takes is kept.
    FieldChoice choice{chosen(), {}, {name->text().toStdString(), static_cast<std::uint32_t>(width->value())}};
    FieldOptions& c = choice.options;
    c.bigEndian = big->isEnabled() && big->isChecked();
    c.isUnsigned = isUnsigned->isEnabled() && isUnsigned->isChecked();
    c.scale = scale->isEnabled() ? static_cast<std::uint8_t>(scale->value()) : 0;
    c.sign = sign->isEnabled() ? static_cast<ZonedSign>(sign->currentIndex()) : ZonedSign::Trailing;
    c.ebcdic = ebcdic->isEnabled() && ebcdic->isChecked();
    c.ibm = ibm->isEnabled() && ibm->isChecked();
    c.date = date->isEnabled() ? static_cast<DateForm>(date->currentIndex()) : DateForm::YYYYMMDD;
    c.codePage = codePage->isEnabled() ? static_cast<std::uint16_t>(codePage->currentData().toInt()) : 0;
    return choice;
}

} // namespace zorbik
