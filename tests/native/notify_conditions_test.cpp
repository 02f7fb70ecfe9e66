// The stored form of the condition list, read and written.
#include <doctest.h>

#include "app/settings.h"
#include "notify/stored_conditions.h"

using notify::ConditionList;
using notify::LoadConditions;
using notify::SaveConditions;
using notify::TCondition;

namespace {

// The fields of a condition as one comparable text.
std::string Fields(const TCondition& c) {
    return std::to_string(c.NtfWay) + "," + c.NtfParam + "," + std::to_string(c.CndParam) + "," +
           std::to_string(c.Comparison) + "," + c.Disk + "," + std::to_string(c.Value) + "," +
           (c.Armed ? "armed" : "disarmed") + "," + std::to_string(c.Measuring) + "," + c.Comments;
}

std::vector<std::string> Read(const std::string& stored) {
    ConditionList list;
    LoadConditions(list, stored);
    std::vector<std::string> out;
    for (const auto& c : list) out.push_back(Fields(*c));
    return out;
}

}  // namespace

TEST_CASE("stored conditions read back as the list they describe") {
    struct Case {
        const char* name;
        std::string stored;
        std::vector<std::string> conditions;
    } cases[] = {
        {"empty", "", {}},
        {"blanks only", "  \r\n ", {}},
        {"the default condition",
         "1|Zelmora|0|0|C:|104857600|1|2||",
         {"1,Zelmora,0,0,C:,104857600,armed,2,"}},
        {"an eight-field sound condition is armed although stored disarmed",
         "0|a.wav|1|1|D:|5|0|0|",
         {"0,a.wav,1,1,D:,5,armed,0,"}},
        {"two eight-field conditions: the second's way is not taken as comments",
         "0|a.wav|1|1|D:|5|0|0|3|pc1|0|0|E:|7|1|1|",
         {"0,a.wav,1,1,D:,5,armed,0,", "3,pc1,0,0,E:,7,armed,1,"}},
        {"nine fields with comments, then another condition",
         "2|a@b.c|0|1|C:|10|1|3|low on C|6|run.exe|1|0|\\\\srv\\share|20|1|2||",
         {"2,a@b.c,0,1,C:,10,armed,3,low on C", "6,run.exe,1,0,\\\\srv\\share,20,armed,2,"}},
        {"comments that read as a way code above 5 are comments",
         "1|x|0|0|C:|1|1|2|6|",
         {"1,x,0,0,C:,1,armed,2,6"}},
        {"the retired way reads as a message box",
         "4|cap|0|0|C:|1|1|2||",
         {"1,cap,0,0,C:,1,armed,2,"}},
        {"an unreadable way reads as a message box",
         "x|cap|0|0|C:|1|1|2||",
         {"1,cap,0,0,C:,1,armed,2,"}},
        {"an unreadable measure drops the condition, the next one still reads",
         "1|a|free|0|C:|1|1|2|note|5|b|0|1|D:|2|1|2||",
         {"5,b,0,1,D:,2,armed,2,"}},
        {"a negative comparison drops the condition",
         "1|a|0|-1|C:|1|1|2||1|b|0|0|C:|1|1|2||",
         {"1,b,0,0,C:,1,armed,2,"}},
        {"unreadable threshold and unit take -1 and 0",
         "1|a|0|0|C:|lots|1|MB||",
         {"1,a,0,0,C:,-1,armed,0,"}},
        {"a 64-bit threshold",
         "1|a|0|1|C:|9223372036854775807|1|4||",
         {"1,a,0,1,C:,9223372036854775807,armed,4,"}},
        {"a list cut short in the middle of a condition ends there",
         "1|a|0|0|C:|1|1|2||1|b|0|0",
         {"1,a,0,0,C:,1,armed,2,"}},
        {"the last field without its bar", "1|a|0|0|C:|1|1|2|end", {"1,a,0,0,C:,1,armed,2,end"}},
    };
    for (const Case& c : cases) {
        CAPTURE(c.name);
        CHECK(Read(c.stored) == c.conditions);
    }
}

TEST_CASE("loading appends to the list and arms every condition in it") {
    ConditionList list;
    auto existing = std::make_shared<TCondition>();
    existing->Armed = false;
    list.push_back(existing);
    LoadConditions(list, "0|a.wav|1|1|D:|5|0|0|");
    REQUIRE(list.size() == 2);
    CHECK(list[0] == existing);
    CHECK(list[0]->Armed);
    CHECK(list[1]->Disk == "D:");
}

TEST_CASE("the list is written as nine fields per condition") {
    CHECK(SaveConditions({}) == "");
    ConditionList list{std::make_shared<TCondition>(), std::make_shared<TCondition>()};
    list[1]->NtfWay = notify::kWayEventLog;
    list[1]->NtfParam = "extra";
    list[1]->CndParam = notify::kMeasureUsed;
    list[1]->Comparison = notify::kMoreThan;
    list[1]->Disk = "C:\\Data";
    list[1]->Value = 5368709120;
    list[1]->Armed = false;
    list[1]->Measuring = 3;
    list[1]->Comments = "see the log";
    std::string stored = SaveConditions(list);
    CHECK(stored ==
          "1|Zelmora|0|0|C:|104857600|1|2||5|extra|1|1|C:\\Data|5368709120|0|3|see the log|");
    // And it reads back as the same list (armed, as after every load).
    list[1]->Armed = true;
    CHECK(Read(stored) == std::vector<std::string>{Fields(*list[0]), Fields(*list[1])});
}

TEST_CASE("text that the stored form cannot hold does not shift the conditions after it") {
    ConditionList list{std::make_shared<TCondition>(), std::make_shared<TCondition>(),
                       std::make_shared<TCondition>()};
    list[0]->NtfWay = notify::kWayExecute;
    list[0]->NtfParam = "cmd /c dir | more";
    list[0]->Comments = "a|b";
    list[1]->Comments = "3";  // would read as the next condition's way
    list[2]->Disk = "D:";
    list[2]->Comments = "last";
    ConditionList back;
    LoadConditions(back, SaveConditions(list));
    REQUIRE(back.size() == 3);
    CHECK(back[0]->NtfWay == notify::kWayExecute);
    CHECK(back[0]->NtfParam == "cmd /c dir \xC2\xA6 more");
    CHECK(back[0]->Comments ==
          "a\xC2\xA6"
          "b");
    CHECK(back[1]->Comments == "3 ");
    CHECK(back[2]->Disk == "D:");
    CHECK(back[2]->Comments == "last");
    // Writing again changes nothing more.
    CHECK(SaveConditions(back) == SaveConditions(list));
}

TEST_CASE("a copy of a condition has every field but the job link") {
    TCondition c;
    c.NtfWay = notify::kWayEmail;
    c.Comments = "note";
    c.Armed = false;
    c.Job = std::make_shared<notify::JobLink>();
    TCondition copy = c;
    CHECK(copy.NtfWay == notify::kWayEmail);
    CHECK(copy.Comments == "note");
    CHECK_FALSE(copy.Armed);
    CHECK(copy.Job == nullptr);
    CHECK_FALSE(copy.JobRunning());
    CHECK(c.JobRunning());
    // Assigning keeps the target's own link.
    TCondition target;
    auto link = std::make_shared<notify::JobLink>();
    target.Job = link;
    target = c;
    CHECK(target.Job == link);
    CHECK(target.Comments == "note");
}

TEST_CASE("the SMTP password is stored reversed in the letter encoding") {
    CHECK(app::EncodePassword("abc") == "DGCGBG");
    CHECK(app::DecodePassword("DGCGBG") == "abc");
    for (std::string password : {"", "x", "p@ss w0rd!",
                                 "\xC3\xBC"
                                 "ber"})
        CHECK(app::DecodePassword(app::EncodePassword(password)) == password);
}
