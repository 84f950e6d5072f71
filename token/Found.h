#pragma once
// The token an attempt found to work on, or the result that ended the attempt before it got
// there: never both, and neither is reached without saying what happens in the other case.
#include "token/AttemptResult.h"

#include <utility>
#include <variant>

template <class Token> class Found {
  public:
    Found(Token token) : m_value(std::in_place_index<0>, std::move(token)) {}
    Found(AttemptResult ended) : m_value(std::in_place_index<1>, std::move(ended)) {}

    // `onFound(token)` when a token was found, `onEnded(result)` when the attempt ended.
    template <class OnFound, class OnEnded> auto Match(OnFound&& onFound, OnEnded&& onEnded) {
        if (Token* token = std::get_if<0>(&m_value))
            return onFound(*token);
        return onEnded(std::get<1>(m_value));
    }

    // The attempt's result: `onFound(token)`'s, or the one that ended it.
    template <class OnFound> AttemptResult Then(OnFound&& onFound) {
        return Match(std::forward<OnFound>(onFound), [](AttemptResult& ended) { return ended; });
    }

  private:
    std::variant<Token, AttemptResult> m_value;
};
