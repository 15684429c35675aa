#include "options/Cp932Validator.h"

#include "reslib/Cp932.h"

#include <QLineEdit>
#include <QToolTip>

using namespace Qt::StringLiterals;

QValidator::State Cp932Validator::validate(QString& input, int&) const {
    return cp932::fromUtf8(input.toStdString()) ? Acceptable : Invalid;
}

QString cp932Note() { return u"シフトJIS（CP932）にない文字は入力できません"_s; }

void acceptOnlyCp932(QLineEdit* box) {
    box->setValidator(new Cp932Validator(box));
    box->setToolTip(cp932Note());
    QObject::connect(box, &QLineEdit::inputRejected, box,
                     [box] { QToolTip::showText(box->mapToGlobal(QPoint(0, box->height())), cp932Note(), box); });
}
