#pragma once
// A test's binding to the stand-in token module and its bench controls (standin/BenchControl.h).
#include "StandinHandle.h"
#include "token/TokenModule.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// One journal line: the entry point's name and its key=value arguments (rv included).
struct JournalCall {
    std::string name;
    std::map<std::string, std::string> args;
};

class StandInBench final : public ModuleMessageSink {
  public:
    ~StandInBench();

    // Binds a fresh TokenModule to the stand-in, finds the controls and empties the bench.
    // False (with the reason in Error()) when any of that fails.
    bool Bind();
    void Unbind();
    const std::string& Error() const { return m_error; }
    TokenModule& Module() { return *m_module; }

    // Runs the lines as one change of the bench; false when the stand-in refuses any of them.
    bool Command(const std::string& lines);
    std::vector<JournalCall> Journal() const;
    // The entry point names of the journal, in call order.
    std::vector<std::string> Calls() const;
    // The answer split into its key=value fields.
    std::map<std::string, std::string> Query(const std::string& query) const;

    void ShowModuleMessage(unsigned messageId) override { m_messages.push_back(messageId); }

  private:
    std::unique_ptr<TokenModule> m_module;
    std::unique_ptr<StandinHandle> m_controls; // the same library again, for its bench controls
    std::vector<unsigned> m_messages;
    std::string m_error;
};
