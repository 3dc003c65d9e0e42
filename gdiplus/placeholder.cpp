// Placeholder until the GDI+ layer lands.
