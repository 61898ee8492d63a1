#include "plenum/midi/ring_queue.h"

#include <gtest/gtest.h>

#include <thread>

namespace plenum {
namespace {

TEST(RingQueue, HoldsOneValueFewerThanItsSlots) {
  RingQueue<int, 4> queue;
  EXPECT_EQ(queue.capacity(), 3u);
  EXPECT_TRUE(queue.push(1));
  EXPECT_TRUE(queue.push(2));
  EXPECT_TRUE(queue.push(3));
  EXPECT_FALSE(queue.push(4));  // full: not stored
  int value = 0;
  ASSERT_TRUE(queue.pop(value));
  EXPECT_EQ(value, 1);
  EXPECT_TRUE(queue.push(5));  // the freed slot is used again, wrapping round
  for (int expected : {2, 3, 5}) {
    ASSERT_TRUE(queue.pop(value));
    EXPECT_EQ(value, expected);
  }
  EXPECT_FALSE(queue.pop(value));
  EXPECT_TRUE(queue.empty());
}

TEST(RingQueue, FourHundredSlotsTakeThreeHundredNinetyNineShortMessages) {
  RingQueue<std::uint32_t, 400> queue;
  int stored = 0;
  while (queue.push(static_cast<std::uint32_t>(stored))) ++stored;
  EXPECT_EQ(stored, 399);
}

TEST(RingQueue, InPlaceSlotsPublishOnlyWhenToldTo) {
  RingQueue<int, 3> queue;
  int* slot = queue.slotToFill();
  ASSERT_NE(slot, nullptr);
  *slot = 7;
  EXPECT_EQ(queue.front(), nullptr);  // not published yet
  queue.publish();
  ASSERT_NE(queue.front(), nullptr);
  EXPECT_EQ(*queue.front(), 7);
  queue.release();
  EXPECT_EQ(queue.front(), nullptr);
}

TEST(RingQueue, TwoThreadsPassEveryValueInOrder) {
  RingQueue<std::uint64_t, 16> queue;
  constexpr std::uint64_t kCount = 200000;
  std::thread producer([&] {
    for (std::uint64_t i = 0; i < kCount;)
      if (queue.push(i)) ++i;
  });
  std::uint64_t expected = 0;
  std::uint64_t value = 0;
  bool inOrder = true;
  while (expected < kCount)
    if (queue.pop(value)) inOrder = inOrder && value == expected++;
  producer.join();
  EXPECT_TRUE(inOrder);
  EXPECT_TRUE(queue.empty());
}

}  // namespace
}  // namespace plenum
