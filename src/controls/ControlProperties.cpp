#include "controls/ControlProperties.h"

#include <QMetaProperty>

namespace controlprops {

void write(const QMetaObject& type, const void* settings, QVariantMap& bag) {
    for (int i = type.propertyOffset(); i < type.propertyCount(); ++i) {
        const QMetaProperty p = type.property(i);
        bag.insert(QLatin1String(p.name()), p.readOnGadget(settings));
    }
}

void read(const QMetaObject& type, void* settings, const QVariantMap& bag) {
    for (int i = type.propertyOffset(); i < type.propertyCount(); ++i) {
        const QMetaProperty p = type.property(i);
        if (const auto it = bag.constFind(QLatin1String(p.name())); it != bag.cend()) p.writeOnGadget(settings, *it);
    }
}

} // namespace controlprops
