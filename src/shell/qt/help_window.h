// THelpWindow: the help topics in a window of their own, the list on the left, the text on the
// right.
#pragma once

#include <QDialog>

#include <string_view>

class QFont;
class QListWidget;
class QPlainTextEdit;

namespace rekna {

// Made once and only hidden when closed. The arrow keys move through the topics wherever the
// focus is in the window; Esc closes it.
class THelpWindow : public QDialog {
    Q_OBJECT

public:
    explicit THelpWindow(QWidget* parent = nullptr);

    // Shows the window with the topic of that action ("ActionHelpStat") and brings it forward;
    // an unknown action keeps the topic shown before.
    void ShowTopic(std::string_view action);
    // The texts are set in the memo's font, so that the examples line up as in the memo; a hidden
    // window also takes the size that shows the longest topic whole.
    void SetTextFont(const QFont& font);

    // The action of the topic shown, empty before the first.
    [[nodiscard]] QString CurrentAction() const;
    [[nodiscard]] QListWidget* TopicList() const noexcept { return FList; }
    [[nodiscard]] QPlainTextEdit* TextView() const noexcept { return FText; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowRow(int row);

    QListWidget* FList = nullptr;
    QPlainTextEdit* FText = nullptr;
};

}  // namespace rekna
