#pragma once
// How the display controls keep their settings. A control's persisted settings are a gadget whose
// properties are named as the host's property-bag keys and whose member initialisers are the
// defaults for missing keys; the control's own Q_PROPERTYs read them and set them with checks.
#include <QMetaObject>
#include <QVariantMap>
#include <type_traits>
#include <utility>

namespace controlprops {

// Puts every property of `settings` in `bag` under its name.
void write(const QMetaObject& type, const void* settings, QVariantMap& bag);
// Assigns every property of `settings` found in `bag`, as stored: no control setter runs.
void read(const QMetaObject& type, void* settings, const QVariantMap& bag);

template <class Settings>
void write(const Settings& settings, QVariantMap& bag) {
    write(Settings::staticMetaObject, &settings, bag);
}

// The settings in `bag`, with the declared defaults for the keys it lacks.
template <class Settings>
Settings read(const QVariantMap& bag) {
    Settings settings;
    read(Settings::staticMetaObject, &settings, bag);
    return settings;
}

// Stores `value` and emits `changed` with it, only when it differs. Returns whether it did.
template <class Object, class T, class Arg>
bool assign(Object* object, T& member, std::type_identity_t<T> value, void (Object::*changed)(Arg)) {
    if (member == value) return false;
    member = std::move(value);
    emit(object->*changed)(static_cast<Arg>(member));
    return true;
}

} // namespace controlprops
