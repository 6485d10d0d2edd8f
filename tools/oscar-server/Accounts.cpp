#include "tools/oscar-server/Accounts.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <pugixml.hpp>

#include "tools/oscar-server/Wire.h"

namespace oscarserver {
namespace {

Account EchoAccount()
{
    Account echo;
    echo.uin = kEchoUin;
    echo.nickname = "Echo";
    echo.firstName = "Echo";
    echo.lastName = "Service";
    echo.city = "Loopback";
    echo.notes = "Answers every message with the same text.";
    echo.echo = true;
    return echo;
}

std::uint16_t Number16(const char* text)
{
    const long value = std::strtol(text, nullptr, 10);
    return value < 0 || value > 0xFFFF ? 0 : static_cast<std::uint16_t>(value);
}

std::uint8_t GenderCode(std::string_view text)
{
    if (text == "female" || text == "f" || text == "1")
        return 1;
    if (text == "male" || text == "m" || text == "2")
        return 2;
    return 0;
}

// "YYYY-MM-DD"; fields that do not parse stay 0.
void ReadBirthday(std::string_view text, Account& account)
{
    unsigned year = 0;
    unsigned month = 0;
    unsigned day = 0;
    if (std::sscanf(std::string(text).c_str(), "%4u-%2u-%2u", &year, &month, &day) != 3)
        return;
    if (month < 1 || month > 12 || day < 1 || day > 31)
        return;
    account.birthYear = static_cast<std::uint16_t>(year);
    account.birthMonth = static_cast<std::uint8_t>(month);
    account.birthDay = static_cast<std::uint8_t>(day);
}

Account ReadAccount(const pugi::xml_node& node)
{
    Account account;
    account.password = node.attribute("password").as_string();
    account.nickname = node.attribute("nick").as_string();
    account.firstName = node.attribute("first").as_string();
    account.lastName = node.attribute("last").as_string();
    account.email = node.attribute("email").as_string();
    account.city = node.attribute("city").as_string();
    account.state = node.attribute("state").as_string();
    account.country = Number16(node.attribute("country").as_string("0"));
    account.gender = GenderCode(node.attribute("gender").as_string());
    account.age = Number16(node.attribute("age").as_string("0"));
    ReadBirthday(node.attribute("birthday").as_string(), account);
    account.phone = node.attribute("phone").as_string();
    account.mobile = node.attribute("mobile").as_string();
    account.homepage = node.attribute("homepage").as_string();
    account.notes = node.attribute("notes").as_string();
    account.authRequired = node.attribute("auth").as_bool(false);
    return account;
}

}  // namespace

AccountBook::AccountBook() { m_accounts[kEchoUin] = EchoAccount(); }

bool AccountBook::LoadFile(const std::string& path, std::string& error, std::vector<std::string>& warnings)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = path + ": cannot be read";
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    if (!LoadText(text.str(), error, warnings)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool AccountBook::LoadText(const std::string& xml, std::string& error, std::vector<std::string>& warnings)
{
    pugi::xml_document document;
    const pugi::xml_parse_result result = document.load_buffer(xml.data(), xml.size());
    if (!result) {
        error = result.description();
        return false;
    }
    if (!document.child("accounts")) {
        error = "no <accounts> element";
        return false;
    }
    for (const pugi::xml_node& node : document.child("accounts").children("account")) {
        std::uint32_t uin = 0;
        const std::string uinText = node.attribute("uin").as_string();
        Account account = ReadAccount(node);
        if (!ParseUin(uinText, uin) || account.password.empty() || m_accounts.count(uin) != 0) {
            warnings.push_back("account '" + uinText + "' skipped: bad UIN, no password or UIN already used");
            continue;
        }
        account.uin = uin;
        Add(account);
    }
    return true;
}

bool AccountBook::Add(const Account& account)
{
    if (account.uin == 0 || account.uin == kEchoUin)
        return false;
    m_accounts[account.uin] = account;
    m_accounts[account.uin].echo = false;
    return true;
}

const Account* AccountBook::Find(std::uint32_t uin) const
{
    const auto found = m_accounts.find(uin);
    return found == m_accounts.end() ? nullptr : &found->second;
}

}  // namespace oscarserver
