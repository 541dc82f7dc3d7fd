// The reference for the broadcast benchmark: a minimal broadcast server on the npm "ws"
// package that sends the same "time" frame as bench_WebSocketTimeServer on the same 16 ms tick.
// Usage: node bench/ws-reference-server.js PORT   (runs until killed)
const { WebSocketServer } = require('ws');

const port = parseInt(process.argv[2], 10);
const server = new WebSocketServer({ host: '127.0.0.1', port, perMessageDeflate: false });
server.on('listening', () => console.log('listening'));

setInterval(() => {
    const frame = `{"type":"time","millis":${(performance.timeOrigin + performance.now()).toFixed(3)},` +
        '"fps":1000,"isRunning":true,"cueIndex":3}';
    for (const client of server.clients)
        client.send(frame);
}, 16);
