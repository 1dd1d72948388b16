#include "data/assay_collection.h"
#include "platform/utf.h"

#include <gtest/gtest.h>

namespace sepmet {
namespace {

Assay Make(std::int32_t id, std::u16string sample = u"", bool iscalibration = false) {
    Assay a;
    a.id = id;
    a.sample = std::move(sample);
    a.iscalibration = iscalibration;
    return a;
}

TEST(AssayCollection, ClassifiesBySampleTextCaseSensitively) {
    struct Case {
        const char16_t* sample;
        bool calibration, absorption;
    } cases[] = {
        {u"5 мг град", true, false},  {u"Град 5", false, false}, {u"р-р поглот. 1", false, true},
        {u"град поглот", true, true}, {u"Поглот", false, false}, {u"", false, false},
    };
    for (const Case& c : cases) {
        Assay a = Make(1, c.sample);
        EXPECT_EQ(IsCalibrationSolution(a), c.calibration) << ToUtf8(c.sample);
        EXPECT_EQ(IsAbsorptionSolution(a), c.absorption);
    }
}

TEST(AssayCollection, TypeTexts) {
    struct Case {
        const char16_t* sample;
        bool iscalibration;
        const char16_t* type;
    } cases[] = {
        {u"Проверка град 25", true, u"Проверка"},
        {u"Проверка", false, u"Анализ"},
        {u"проверка", true, u"Градуировка"},
        {u"5 мг град", true, u"Градуировка"},
        {u"поглот", false, u"Анализ"},
    };
    for (const Case& c : cases) {
        Assay a = Make(1, c.sample, c.iscalibration);
        UpdateTypeText(a);
        EXPECT_EQ(a.type, c.type);
    }
}

TEST(AssayCollection, KeepsOrderWithoutDuplicatesAndRemovesByIdentifier) {
    AssayCollection assays;
    EXPECT_EQ(assays.Clear(), 0u);
    EXPECT_EQ(assays.AddLoadedAssay(Make(5)), 0);
    EXPECT_EQ(assays.AddLoadedAssay(Make(3)), 1);
    EXPECT_EQ(assays.AddLoadedAssay(Make(8)), 2);
    EXPECT_EQ(assays.AddLoadedAssay(Make(3, u"ignored")), 1);
    EXPECT_TRUE(assays[1].sample.empty());

    EXPECT_TRUE(assays.RemoveAssay(5));
    EXPECT_EQ(assays.Ids(), (std::vector<std::int32_t>{3, 8}));
    EXPECT_FALSE(assays.RemoveAssay(5));
    EXPECT_EQ(assays.Clear(), 2u);
    EXPECT_TRUE(assays.Empty());
}

} // namespace
} // namespace sepmet
