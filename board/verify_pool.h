// Verification of recordings on a pool of worker threads with a bounded
// queue: the game's own verifier, run in this process, each worker on its own
// copy of the stage grid (tileMap is one per thread).
#pragma once
#include <memory>
#include <string>
#include "board/stages.h"
#include "game/recording.h"

struct VerifyPool;

// Starts workers threads (at least 1) taking at most queueLimit waiting
// recordings; each verification is refused once it has run budgetMs
// milliseconds (0: never). The caller owns the pool (StopVerifyPool).
VerifyPool* StartVerifyPool(int workers, int queueLimit, int budgetMs);
// Finishes what is queued, then ends the workers and frees the pool.
void StopVerifyPool(VerifyPool* pool);

enum VerifyOutcome { VERIFY_ACCEPTED, VERIFY_REFUSED, VERIFY_QUEUE_FULL };
// Plays recording again on grid on one of the pool's workers and waits for
// it: VERIFY_ACCEPTED, VERIFY_REFUSED with the verifier's reason in *why, or
// VERIFY_QUEUE_FULL at once (nothing verified) when queueLimit recordings
// are already waiting. Safe to call from many threads at once.
int VerifyOnPool(VerifyPool* pool, const Recording& recording,
                 std::shared_ptr<const StageGrid> grid, std::string* why);
