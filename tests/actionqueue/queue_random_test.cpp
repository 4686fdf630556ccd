// A long random sequence of queue operations: every record handed to the queue is released
// exactly once, whatever path it takes (applied, replaced, dropped with the radio off, cleared).
// Built with AddressSanitizer and UndefinedBehaviorSanitizer, which fail the run on a leak, a
// double release or a use after release.
#include <gtest/gtest.h>

#include <random>

#include "tests/actionqueue/queue_test_support.h"

namespace ov::test {
namespace {

using QueueRandomTest = QueueFixture;

TEST_F(QueueRandomTest, LongRandomSequenceKeepsTheQueueWellFormed) {
  std::mt19937 rng(20240611);
  std::uniform_int_distribution<int> pick(0, 99);
  queue->wps().Table.Count = 3;
  for (uint32_t i = 0; i < 3; ++i) {
    WpsCredential& c = queue->wps().Table.Credentials[i];
    c.SsidLength = 3;
    c.Ssid = {'w', 'p', static_cast<uint8_t>('0' + i)};
    c.AuthType = 32;
    c.EncryType = 8;
    c.KeyLength = 10;
    c.Key = {'p', 'a', 's', 's', 'p', 'h', 'r', 'a', 's', 'e'};
  }
  for (int step = 0; step < 20000; ++step) {
    const int op = pick(rng);
    if (op < 25) {
      auto p = Profile("n" + std::to_string(step % 7), step % 2);
      if (step % 3 == 0) p->wepKeys[step % 4] = KeyBlock{kTransmitKeyBit, {1, 2, 3, 4, 5}};
      if (step % 5 == 0) p->eapBlob.assign(40, 0xEE);
      if (step % 11 == 0) p->adhocKey = KeyBlock{kTransmitKeyBit, std::vector<uint8_t>(32, 7)};
      p->radioApply = step % 2;
      if (queue->QueueAction(kActionApplyProfile, std::move(p)) && pick(rng) < 70) {
        queue->ActionExec();
      }
    } else if (op < 40) {
      if (queue->QueueAction(kActionScan, nullptr) && pick(rng) < 50) queue->ActionExec();
    } else if (op < 50) {
      queue->QueueScan();
    } else if (op < 60) {
      queue->ClearMonitorBusy();
      queue->ActionExec();
    } else if (op < 67) {
      queue->adapter().radioOn = !queue->adapter().radioOn;
    } else if (op < 75) {
      if (queue->QueueAction(kActionApplyProfile, queue->CurrentProfileForReapply())) {
        queue->ActionExec();
      }
    } else if (op < 82) {
      queue->activation().CredentialCycling = pick(rng) < 50;
      queue->ApplyWpsCredential();
    } else if (op < 86) {
      queue->QueueAction(static_cast<uint32_t>(2 + pick(rng) % 3), Profile("odd"));
    } else if (op < 88) {
      queue->QueueAction(kActionApplyProfile, nullptr);
    } else if (op < 90) {
      queue->Clear();
    } else {
      queue->adapter().htCapable = !queue->adapter().htCapable;
      if (queue->QueueAction(kActionApplyProfile, Profile("ht"))) queue->ActionExec();
    }
    // The shape the rules promise: at most one scan and one apply action queued besides the
    // entries of other kinds, and the scan never ahead of nothing to wait for.
    int scans = 0, applies = 0;
    for (const ACTION_DATA& e : queue->Queue()) {
      scans += e.ActionKind == kActionScan;
      applies += e.ActionKind == kActionApplyProfile;
    }
    ASSERT_LE(scans, 1) << "step " << step;
    ASSERT_LE(applies, 1) << "step " << step;
    driver.calls.clear();
    client.calls.clear();
    client.applied.clear();
  }
}

}  // namespace
}  // namespace ov::test
