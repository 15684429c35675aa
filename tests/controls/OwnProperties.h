#pragma once
// Checks that hold for every property a display control declares itself (not QWidget's).
#include <QMetaProperty>
#include <QSignalSpy>
#include <QStringList>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

inline std::vector<QMetaProperty> ownProperties(const QObject& o) {
    const QMetaObject* type = o.metaObject();
    std::vector<QMetaProperty> props;
    for (int i = type->propertyOffset(); i < type->propertyCount(); ++i) props.push_back(type->property(i));
    return props;
}

// The properties the control keeps in its bag (a host's display matters are not stored).
inline QStringList ownPropertyNames(const QObject& o) {
    QStringList names;
    for (const QMetaProperty& p : ownProperties(o))
        if (p.isStored()) names << QString::fromLatin1(p.name());
    names.sort();
    return names;
}

// Writing `another(value)` to each property notifies once, with the value now held; writing
// what it holds again notifies nothing.
template <class Another>
void expectNotifiesOnlyOnChange(QObject& o, Another another) {
    for (const QMetaProperty& p : ownProperties(o)) {
        SCOPED_TRACE(p.name());
        ASSERT_TRUE(p.hasNotifySignal());
        QSignalSpy spy(&o, p.notifySignal());
        ASSERT_TRUE(p.write(&o, another(p.read(&o))));
        ASSERT_EQ(spy.count(), 1);
        EXPECT_EQ(spy.at(0).at(0), p.read(&o)) << "notified with the value now held";
        ASSERT_TRUE(p.write(&o, p.read(&o)));
        EXPECT_EQ(spy.count(), 1);
    }
}

// Restoring `stored` and saving again gives it back key for key, and `stored` names every
// stored property; restoring an empty bag gives `defaults`.
template <class Control>
void expectBagRoundTrip(Control& c, const QVariantMap& stored, const QVariantMap& defaults) {
    EXPECT_EQ(QStringList(stored.keys()), ownPropertyNames(c));
    const std::pair<QVariantMap, QVariantMap> restoredAndSaved[] = {{stored, stored}, {{}, defaults}};
    for (const auto& [bag, want] : restoredAndSaved) {
        c.ReadProperties(bag);
        QVariantMap written;
        c.WriteProperties(written);
        EXPECT_EQ(written.keys(), want.keys());
        for (auto it = want.cbegin(); it != want.cend(); ++it)
            EXPECT_EQ(written.value(it.key()).toString(), it.value().toString()) << qPrintable(it.key());
    }
}
