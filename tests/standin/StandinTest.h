#pragma once
// Every test starts on the stand-in beside the test program, uninitialised, with an empty
// bench and journal, and holds both of its function lists.
#include "StandinHandle.h"
#include "token/PkiInitParam.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

class StandinTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(standin.Ready());
        standin.Fresh();
        f = standin.Functions();
        aux = standin.Aux();
        ASSERT_NE(nullptr, f);
        ASSERT_NE(nullptr, aux);
        Do("clear-journal");
    }
    void TearDown() override { standin.Fresh(); }

    void Do(const std::string& lines) { ASSERT_EQ(0, standin.Command(lines)) << lines; }
    void Init() { ASSERT_EQ(CKR_OK, f->C_Initialize(nullptr)); }

    // Slots with a token, as the program lists them (room for 10).
    CK_RV List(std::vector<CK_SLOT_ID>& slots) {
        slots.assign(10, 0);
        CK_ULONG count = 10;
        CK_RV rv = f->C_GetSlotList(CK_TRUE, slots.data(), &count);
        slots.resize(rv == CKR_OK ? count : 0);
        return rv;
    }

    StandinHandle& standin = SharedStandin();
    CK_FUNCTION_LIST* f = nullptr;
    AUX_FUNCTION_LIST* aux = nullptr;
};

// A PKI initialisation request as the program builds it, with owned PINs and label field.
struct PkiRequest {
    std::string soPin = "newso-pin";
    std::string userPin = "4321";
    std::array<std::uint8_t, PKI_LABEL_FIELD_SIZE> labelField{};
    PKI_INIT_PARAM param{};

    explicit PkiRequest(const std::string& label = "Bench") {
        labelField.fill(' ');
        labelField[PKI_LABEL_FIELD_SIZE - 1] = 0;
        std::copy(label.begin(), label.end(), labelField.begin());
        param.byFixed0 = 1;
        param.byFixed1 = 1;
        param.bySoPinMaxRetry = 5;
        param.byUserPinMaxRetry = 7;
        param.ulPublicSize = 30000;
        param.ulPrivateSize = 15000;
        param.ulFixedVersion = PKI_INIT_FIXED_VERSION;
    }
    // The record with its pointers set to this request's buffers.
    PKI_INIT_PARAM* Record() {
        param.pLabel = labelField.data();
        param.pSoPin = reinterpret_cast<std::uint8_t*>(&soPin[0]);
        param.pUserPin = reinterpret_cast<std::uint8_t*>(&userPin[0]);
        return &param;
    }
};
