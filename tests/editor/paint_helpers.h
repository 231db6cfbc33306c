// Helpers of the painter tests: classified lines written as one letter per byte.
#pragma once

#include "editor/paint/char_classifier.h"
#include "editor/paint/keyword_list.h"
#include "editor/paint/paint_style.h"
#include "editor/store/umemo_strings.h"
#include "store_helpers.h"

#include <string>
#include <string_view>

namespace rekna::test {

// One letter per kind, so that an expected classification lines up with its text.
inline char KindLetter(TCharKind k) {
    switch (k) {
    case TCharKind::ckNorm: return 'N';
    case TCharKind::ckControl: return 'n';
    case TCharKind::ckComment: return 'C';
    case TCharKind::ckStat: return 's';
    case TCharKind::ckDependence: return 'D';
    case TCharKind::ckJSpace: return 'J';
    case TCharKind::ckTab: return 'T';
    case TCharKind::ckCrLf: return 'L';
    case TCharKind::ckEof: return 'E';
    case TCharKind::ckKakko: return 'B';
    case TCharKind::ckJEq: return '=';
    case TCharKind::ckChar: return 'c';
    case TCharKind::ckString: return 'S';
    case TCharKind::ckKeyWord: return 'K';
    case TCharKind::ckReserved: return 'R';
    case TCharKind::ckFind: return 'F';
    }
    return '?';
}

// A store holding CP932 lines given in UTF-8, every repaint mark cleared.
struct TPaintFixture {
    TUMemoStrings Strings;
    TPaintStyle Style;
    TKeyWordList Functions{CalcFunctionNames(), false};
    TCharClassifier Classifier;

    explicit TPaintFixture(std::string_view utf8, TFileType type = TFileType::ftRekna,
                           TStoreSetup setup = {}) {
        Configure(Strings, setup);
        LoadLines(Strings, J(utf8));
        Classifier.FileType = type;
        Classifier.Dependence = &Style.DependenceChar;
        Classifier.Functions = &Functions;
        ClearMarks();
    }

    void ClearMarks() {
        for (std::int32_t r = 0; r < Strings.GetCount(); ++r)
            Strings.SetRowMark(r, TRowMark::rmNone);
    }

    [[nodiscard]] TClassifiedLine Line(std::int32_t row, TSelPoint caret = {0, -1}) const {
        TClassifiedLine line;
        Classifier.Classify(Strings, row, caret, line);
        return line;
    }

    // The kinds of every byte of the logical line of row, one letter each.
    [[nodiscard]] std::string Kinds(std::int32_t row = 0) const {
        std::string out;
        for (const TCharCell& c : Line(row).Cells)
            out.append(c.Bytes, KindLetter(c.Kind));
        return out;
    }
};

}  // namespace rekna::test
