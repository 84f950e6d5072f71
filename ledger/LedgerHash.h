#pragma once
// SHA-256 from the platform (BCrypt on Windows, OpenSSL elsewhere), never our own.
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

// A digest fed in pieces; a copy goes on from the same point, so the chain can hash what a
// line would add without losing what came before.
class Sha256 {
  public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256& other);
    Sha256& operator=(const Sha256& other);

    void Add(std::string_view piece);
    // The digest of everything added, as 64 lowercase hex digits; empty when the platform
    // cannot hash. The object is spent afterwards.
    std::string FinishHex();

  private:
    struct State;
    // The platform's digest, made on first use; none while nothing has been added.
    State& Started();
    std::unique_ptr<State> state_;
};

// The digest of the pieces one after the other, as 64 lowercase hex digits; empty when the
// platform cannot hash.
std::string Sha256Hex(std::initializer_list<std::string_view> pieces);
