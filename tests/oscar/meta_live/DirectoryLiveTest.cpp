// Directory requests against the local server: information, searches, their
// answers as events, and errors.
#include <gtest/gtest.h>

#include <cstdlib>
#include <mutex>

#include "app/InterfaceStage.h"
#include "oscar/OnlineStatus.h"
#include "oscar/codec/SnacDecoding.h"
#include "oscar/meta/DirectoryQuery.h"
#include "oscar/meta/DirectoryText.h"
#include "tests/common/TestSupport.h"
#include "tests/oscar/live/LiveCore.h"
#include "tests/oscar/live/ServerProcess.h"
#include "tests/oscar/meta/MetaBytes.h"

namespace {

using namespace oscar;
using metatest::Bytes;

const char* kAccounts = R"(<accounts>
  <account uin="100001" password="demo" nick="Demo"/>
  <account uin="100004" password="a" nick="Alice" first="Alice" last="Liddell" email="alice@example.org"
           city="Oxford" state="Oxon" gender="female" age="20" birthday="2005-05-04" phone="555-0104"
           mobile="555-0199" homepage="http://alice.example" notes="Down the rabbit hole" auth="1"/>
  <account uin="100005" password="b" nick="Alba" first="Alba" last="Rose" gender="female" age="34"/>
  <account uin="100006" password="c" nick="Bert" first="Bert" last="Old" gender="male" age="65"/>
  <account uin="100007" password="d" nick="Clara" gender="female" age="61"/>
</accounts>)";

// The query's own events, as a window receives them.
class Answers : public EventListener {
public:
    explicit Answers(RefPtr<DirectoryQuery> query) : m_query(std::move(query)) { app::AddListener(this); }
    ~Answers() override { app::RemoveListener(this); }

    void OnEvent(const RefPtr<AppEvent>& event) override
    {
        if (m_query->Answers(*event))
            events.push_back(event);
    }
    template <typename T>
    std::vector<const T*> Of() const
    {
        std::vector<const T*> found;
        for (const RefPtr<AppEvent>& event : events) {
            if (const auto* typed = dynamic_cast<const T*>(event.Get()))
                found.push_back(typed);
        }
        return found;
    }

    std::vector<RefPtr<AppEvent>> events;

private:
    RefPtr<DirectoryQuery> m_query;
};

// The little-endian items of a details search request.
std::vector<std::pair<std::uint16_t, Bytes>> DetailItems(const SnacCommand& request)
{
    std::span<const std::uint8_t> data = request.Data()->Bytes();
    std::vector<std::pair<std::uint16_t, Bytes>> items;
    ByteReader reader(data.size() >= 16 ? data.subspan(16) : data.subspan(0, 0));
    std::uint16_t type = 0;
    std::uint16_t length = 0;
    std::span<const std::uint8_t> value;
    while (reader.ReadU16LE(type) && reader.ReadU16LE(length) && reader.ReadBytes(length, value))
        items.emplace_back(type, Bytes(value.begin(), value.end()));
    return items;
}

class DirectoryLiveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_temp.Ok());
        platform::SetTimeScale(20.0);
        m_server = std::make_unique<live::ServerProcess>(m_folder, kAccounts);
        ASSERT_TRUE(m_server->Ready());
        m_core = std::make_unique<live::LiveCore>(
            m_folder, "UIN=100001\r\nPASSWORD=demo\r\nLOGINHOSTS=" + m_server->LoginHost() + "\r\n");
        m_query = MakeRef<DirectoryQuery>(m_core->Core());
        m_answers = std::make_unique<Answers>(m_query);
    }
    void TearDown() override
    {
        m_answers.reset();
        if (m_query)
            m_query->Cancel();
        m_core.reset();
        m_server.reset();
        platform::SetTimeScale(1.0);
    }

    bool GoOnline()
    {
        m_core->Choose(OnlineStatus::Online);
        return m_core->PumpUntil([&] { auto session = m_core->Session(); return session && session->IsOnline(); }, 60000);
    }
    // Pumps until the query finished and all its events for the current
    // request arrived.
    bool WaitAnswer()
    {
        return m_core->PumpUntil(
            [&] {
                auto current = std::count_if(m_answers->events.begin(), m_answers->events.end(),
                                             [&](const RefPtr<AppEvent>& e) { return m_query->Answers(*e); });
                return !m_query->IsWaiting() && current == m_query->PostedCount();
            },
            60000);
    }
    // The meta request the query sent (by its cookie).
    RefPtr<SnacCommand> SentRequest()
    {
        for (const RefPtr<FlapFrame>& frame : m_core->Record().BosFrames()) {
            if (frame->Snac() && frame->Snac()->Number() == CommandNumber::MetaRequest &&
                frame->Snac()->RequestId() == m_query->Cookie())
                return frame->Snac();
        }
        return nullptr;
    }
    std::vector<std::uint32_t> HitUins()
    {
        std::vector<std::uint32_t> uins;
        for (const SearchHitEvent* hit : m_answers->Of<SearchHitEvent>())
            uins.push_back(hit->Hit().uin);
        return uins;
    }
    // A received BOS frame carrying a meta reply, posted as the receive
    // thread would.
    void InjectReply(std::uint32_t requestId, std::uint16_t flags, const Bytes& data)
    {
        RefPtr<SnacCommand> snac = DecodeSnac(metatest::SnacBody(data, requestId, flags));
        m_core->Core().Post(MakeRef<FrameEvent>(EventType::BosFrameReceived, FlapFrame::ForSnac(snac)));
    }

    testsupport::TempFolder m_temp{"corvane-directory"};
    const std::string m_folder = m_temp.Path();
    std::unique_ptr<live::ServerProcess> m_server;
    std::unique_ptr<live::LiveCore> m_core;
    RefPtr<DirectoryQuery> m_query;
    std::unique_ptr<Answers> m_answers;
};

TEST_F(DirectoryLiveTest, FullInformationFillsTheTwelveFields)
{
    EXPECT_FALSE(m_query->RequestInformation(100004));  // not signed on yet
    ASSERT_TRUE(GoOnline());
    ASSERT_TRUE(m_query->RequestInformation(100004));
    ASSERT_TRUE(WaitAnswer());

    UserInfoSheet sheet(u"100004", u"");
    for (const RefPtr<AppEvent>& event : m_answers->events)
        sheet.Apply(*event);
    const std::pair<InfoField, const char16_t*> expected[] = {
        {InfoField::Uin, u"100004"},
        {InfoField::Nickname, u"Alice"},
        {InfoField::FirstName, u"Alice"},
        {InfoField::LastName, u"Liddell"},
        {InfoField::Email, u"alice@example.org"},
        {InfoField::Phones, u"555-0104, 555-0199"},
        {InfoField::Gender, u"Female"},
        {InfoField::Age, u"20"},
        {InfoField::Birthday, u"4.05.2005"},
        {InfoField::City, u"Oxford, Oxon"},
        {InfoField::Homepage, u"http://alice.example"},
        {InfoField::Notes, u"Down the rabbit hole"},
    };
    for (const auto& [field, text] : expected)
        EXPECT_EQ(sheet.Text(field), text) << platform::WideToUtf8(InfoFieldLabel(field));
    EXPECT_TRUE(sheet.AuthorisationRequired());
    // One event each for basic, more and notes; the other five kinds are
    // not passed on.
    EXPECT_EQ(m_answers->events.size(), 3u);
    EXPECT_FALSE(m_query->IsWaiting());

    // A UIN nobody holds: one basic reply without data.
    ASSERT_TRUE(m_query->RequestInformation(4000000000u));
    ASSERT_TRUE(WaitAnswer());
    auto basics = m_answers->Of<UserInfoBasicEvent>();
    ASSERT_EQ(basics.size(), 2u);
    EXPECT_FALSE(basics.back()->Success());
}

TEST_F(DirectoryLiveTest, DetailsSearchWithOnlyANicknameSendsOneItem)
{
    ASSERT_TRUE(GoOnline());
    SearchCriteria criteria;
    criteria.nickname = u"ali";
    ASSERT_TRUE(m_query->SearchByDetails(criteria));
    ASSERT_TRUE(WaitAnswer());
    RefPtr<SnacCommand> request = SentRequest();
    ASSERT_TRUE(request);
    auto items = DetailItems(*request);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].first, 0x0154);
    EXPECT_EQ(items[0].second, codectest::Hex("0400 616C69 00"));
    EXPECT_EQ(HitUins(), std::vector<std::uint32_t>{100004});
    auto hits = m_answers->Of<SearchHitEvent>();
    EXPECT_EQ(SearchRowText(hits[0]->Hit()), u"Alice (Alice Liddell), 20, Offline");
}

TEST_F(DirectoryLiveTest, SixtyAboveSendsSixtyAndTenThousand)
{
    ASSERT_TRUE(GoOnline());
    SearchCriteria criteria;
    criteria.age = AgeRangeOfChoice(6);
    ASSERT_TRUE(m_query->SearchByDetails(criteria));
    ASSERT_TRUE(WaitAnswer());
    auto items = DetailItems(*SentRequest());
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].first, 0x0168);
    EXPECT_EQ(items[0].second, codectest::Hex("3C00 1027"));
    std::vector<std::uint32_t> uins = HitUins();
    std::sort(uins.begin(), uins.end());
    EXPECT_EQ(uins, (std::vector<std::uint32_t>{100006, 100007}));
}

TEST_F(DirectoryLiveTest, SeveralHitsEndWithTheLastResultFlag)
{
    ASSERT_TRUE(GoOnline());
    SearchCriteria criteria;
    criteria.gender = 1;
    ASSERT_TRUE(m_query->SearchByDetails(criteria));
    ASSERT_TRUE(WaitAnswer());
    auto hits = m_answers->Of<SearchHitEvent>();
    ASSERT_EQ(hits.size(), 3u);
    for (std::size_t i = 0; i < hits.size(); ++i) {
        EXPECT_TRUE(hits[i]->Success());
        EXPECT_EQ(hits[i]->IsLast(), i + 1 == hits.size()) << i;
        EXPECT_EQ(hits[i]->Hit().gender, 1);
    }

    // Nothing found: one last result without data ends the search.
    criteria.city = u"Atlantis";
    ASSERT_TRUE(m_query->SearchByDetails(criteria));
    ASSERT_TRUE(WaitAnswer());
    auto all = m_answers->Of<SearchHitEvent>();
    ASSERT_EQ(all.size(), 4u);
    EXPECT_FALSE(all.back()->Success());
    EXPECT_TRUE(all.back()->IsLast());
}

TEST_F(DirectoryLiveTest, RepliesForAnotherRequestIdAreIgnored)
{
    ASSERT_TRUE(GoOnline());
    ASSERT_TRUE(m_query->SearchByUin(100005));
    // Queued behind the request, so both reach the worker before the
    // server's answer: a last result for another cookie, and a hit for this
    // query's cookie that is not the last.
    metatest::Le record;
    record.U32(4242).Str("X").Str("").Str("").Str("").U8(0).U16(0).U8(0).U16(0);
    metatest::Le body;
    body.U8(0x0A).U16(static_cast<std::uint16_t>(record.Get().size())).Raw(record.Get());
    InjectReply(m_query->Cookie() ^ 0x00010000u, 0, metatest::ReplyData(kMetaReplyDirectory, 0x01AE, body.Get()));
    metatest::Le mine;
    mine.U8(0x0A).U16(0).U32(777).Str("").Str("").Str("").Str("").U8(0).U16(1).U8(0).U16(0);
    InjectReply(m_query->Cookie(), 1, metatest::ReplyData(kMetaReplyDirectory, 0x01A4, mine.Get()));
    // A reply of an unknown subtype with the right cookie is ignored too.
    InjectReply(m_query->Cookie(), 0, metatest::ReplyData(kMetaReplyDirectory, 0x0123, {0x0A}));
    ASSERT_TRUE(WaitAnswer());
    EXPECT_EQ(HitUins(), (std::vector<std::uint32_t>{777, 100005}));

    // After the answer, even its own cookie is no longer heard.
    InjectReply(m_query->Cookie(), 0, metatest::ReplyData(kMetaReplyDirectory, 0x01AE, body.Get()));
    m_core->PumpFor(2000);
    EXPECT_EQ(m_answers->events.size(), 2u);
}

TEST_F(DirectoryLiveTest, IcqErrorBecomesEvent52WithItsText)
{
    ASSERT_TRUE(GoOnline());
    // A directory request of a subtype the server does not know.
    ASSERT_TRUE(m_query->StartRequest(DirectoryQuery::Mode::Search,
                                      [](std::uint32_t cookie, std::uint32_t own, std::uint16_t sequence) {
                                          const std::uint8_t body[] = {0x99, 0x09};
                                          return BuildMetaRequestFrame(cookie, own, kMetaRequestDirectory, sequence,
                                                                       body);
                                      }));
    ASSERT_TRUE(WaitAnswer());
    auto errors = m_answers->Of<DirectoryErrorEvent>();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0]->Type(), EventType::ProtocolError);
    EXPECT_EQ(errors[0]->Family(), 0x15);
    EXPECT_EQ(errors[0]->Subtype(), 0x01);
    EXPECT_EQ(errors[0]->Text(), u"Not supported by server");
    EXPECT_TRUE(m_answers->Of<SearchHitEvent>().empty());
}

}  // namespace
