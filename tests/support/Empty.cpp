// Keeps the test support library non-empty while no fixture needs a source file.
