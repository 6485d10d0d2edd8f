// Accounts: the users the server knows, read from an XML accounts file.
//
// File format (UTF-8):
//   <accounts>
//     <account uin="100001" password="demo" nick="Demo" first="Dana" last="Demo"
//              email="demo@example.org" city="Springfield" state="" country="1"
//              gender="female" age="30" birthday="1995-04-12" phone="" mobile=""
//              homepage="" notes="" auth="0"/>
//   </accounts>
// uin and password are required; every other attribute may be left out.
// gender is "female", "male" or empty; auth="1" means others must ask for
// authorisation before they may list this user. Entries with a bad UIN, no
// password or a UIN seen before are skipped and reported.
//
// The echo account (kEchoUin) always exists; it cannot sign on and answers
// every message it receives with the same text.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace oscarserver {

constexpr std::uint32_t kEchoUin = 100100;

struct Account {
    std::uint32_t uin = 0;
    std::string password;
    std::string nickname;
    std::string firstName;
    std::string lastName;
    std::string email;
    std::string city;
    std::string state;
    std::uint16_t country = 0;
    std::uint8_t gender = 0;  // 0 unknown, 1 female, 2 male (directory coding)
    std::uint16_t age = 0;
    std::uint16_t birthYear = 0;
    std::uint8_t birthMonth = 0;
    std::uint8_t birthDay = 0;
    std::string phone;
    std::string mobile;
    std::string homepage;
    std::string notes;
    bool authRequired = false;
    bool echo = false;
};

class AccountBook {
public:
    // The book holds the echo account from the start.
    AccountBook();

    // Reads an accounts file; false (with a message) when the file cannot be
    // read or is not XML. Skipped entries are described in warnings.
    bool LoadFile(const std::string& path, std::string& error, std::vector<std::string>& warnings);
    bool LoadText(const std::string& xml, std::string& error, std::vector<std::string>& warnings);
    // Adds or replaces an account; the echo UIN cannot be replaced.
    bool Add(const Account& account);

    const Account* Find(std::uint32_t uin) const;
    const std::map<std::uint32_t, Account>& All() const { return m_accounts; }

private:
    std::map<std::uint32_t, Account> m_accounts;
};

}  // namespace oscarserver
