#pragma once
// The rule that one run at a time may be inside the module: every front end that runs jobs
// joins the gate. While any member holds the module (a stopped batch run whose last attempt
// is still inside it, the station with attempts in flight) no member begins another attempt;
// whenever that changes, every member's Start is brought up to date. Interface thread only.
#include <vector>

class RunGate {
  public:
    class Member {
      public:
        // An attempt of this member may still be inside the module although nobody waits for it.
        virtual bool HoldsModule() const = 0;
        // This member's run has not made its last call yet.
        virtual bool IsBusy() const = 0;
        // Start as the member wants it, unless the gate is held.
        virtual void RefreshStart() {}

      protected:
        ~Member() = default;
    };

    void Join(Member& member);
    void Leave(Member& member);

    // Some member holds the module: no attempt may begin.
    bool IsHeld() const;
    // Some member's run is still at work (the binding may not be replaced).
    bool AnyBusy() const;
    // What a member holds has changed: every member's Start is brought up to date.
    void Changed();

  private:
    std::vector<Member*> m_members;
};
