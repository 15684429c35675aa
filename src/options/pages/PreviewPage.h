#pragma once
// Page 5: the ticket preview, its plugin and the ticket date.
#include "options/pages/OptionPage.h"

#include <array>

struct PlgInfo;
class QListWidget;
class QPlainTextEdit;

class PreviewPage : public OptionPage {
    Q_OBJECT
public:
    explicit PreviewPage(OptionPickers& pickers, QWidget* parent = nullptr);

    std::vector<OptionBinding> bindings() const override;

    // Shows what the plugin in `file` (CP932 path) can print and its remarks.
    void describePlugin(const QByteArray& file, const PlgInfo& info);
    void setPluginPath(const QString& path);

signals:
    // The operator chose a plugin file; it is to be described before the path box takes it.
    void pluginChosen(const QString& path);
    // The fixed date label has a new date (a label has no change signal of its own).
    void fixedDateChosen();

private:
    QCheckBox* usePreview_ = nullptr;
    QLineEdit* pluginPath_ = nullptr;
    QListWidget* properties_ = nullptr;
    QPlainTextEdit* comment_ = nullptr;
    std::array<QRadioButton*, 3> dates_{}; // per print, at route set, fixed
    QLabel* fixedDate_ = nullptr;
};
