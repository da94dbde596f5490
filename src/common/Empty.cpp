// Keeps a subsystem library non-empty while its folder has no source yet.
