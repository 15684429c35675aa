#include "options/model/OptionTable.h"

OptionInfo::OptionInfo() {
    for (const OptionField& field : kOptionFields) resetOption(*this, field.number);
}
