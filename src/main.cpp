// Placeholder until the Qt binding lands.
int main() { return 0; }
