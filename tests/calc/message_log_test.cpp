#include "calc/message_log.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdexcept>

namespace sepmet {
namespace {

using ::testing::ElementsAre;

TEST(MessageLog, LayoutHasOneErrorAndOneWarningHeadingThenInformationWhenPresent) {
    MessageLog log;
    EXPECT_THAT(log.Layout(), ElementsAre(u"Ошибок нет!", u"Предупреждений нет!"));

    log.AddError(u"b");
    log.AddError(u"a");
    log.AddError(u"b");
    EXPECT_THAT(log.Layout(), ElementsAre(u"Ошибки!", u"     - b", u"     - a", u"     - b",
                                          u"Предупреждений нет!"));

    log.AddWarning(u"100 %s %d%%");
    log.AddInformation(u"i");
    EXPECT_THAT(log.Layout(),
                ElementsAre(u"Ошибки!", u"     - b", u"     - a", u"     - b", u"Предупреждения!",
                            u"     - 100 %s %d%%", u"Информация!", u"     - i"));

    log.ClearMessages();
    EXPECT_THAT(log.Layout(), ElementsAre(u"Ошибок нет!", u"Предупреждений нет!"));
}

TEST(MessageLog, ProcessReferenceMustBeSetBeforeUse) {
    SetProcessMessageLog(nullptr);
    EXPECT_THROW(ProcessMessageLog(), std::logic_error);
    MessageLog log;
    SetProcessMessageLog(&log);
    EXPECT_EQ(&ProcessMessageLog(), &log);
    SetProcessMessageLog(nullptr);
}

} // namespace
} // namespace sepmet
