// TTextCollator through QCollator: the Japanese locale's order, ignoring case.
#include "editor/qt/locale_collation.h"

#include <QCollator>
#include <QLocale>
#include <QString>

#include <memory>
#include <vector>

#include "editor/commands/text_collation.h"
#include "platform/cp932.h"

namespace rekna {

namespace {

class TQtCollator final : public TTextCollator {
public:
    TQtCollator() : FCollator(QLocale(QLocale::Japanese, QLocale::Japan)) {
        FCollator.setCaseSensitivity(Qt::CaseInsensitive);
    }
    void Prepare(const std::vector<std::string>& texts) override {
        FTexts.clear();
        FTexts.reserve(static_cast<qsizetype>(texts.size()));
        for (const std::string& t : texts)
            FTexts.push_back(QString::fromStdString(Cp932ToUtf8(t)));
    }
    [[nodiscard]] int Compare(std::size_t i, std::size_t j) const override {
        return FCollator.compare(FTexts[static_cast<qsizetype>(i)],
                                 FTexts[static_cast<qsizetype>(j)]);
    }

private:
    QCollator FCollator;
    QList<QString> FTexts;
};

}  // namespace

void InstallLocaleCollation() {
    if (!HasTextCollator()) SetTextCollator(std::make_unique<TQtCollator>());
}

}  // namespace rekna
