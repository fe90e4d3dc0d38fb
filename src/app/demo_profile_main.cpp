// Placeholder until the demo profile writer lands.
int main() { return 0; }
