// Placeholder until the engine core lands.
