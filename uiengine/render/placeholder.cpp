// Placeholder until the message box lands.
