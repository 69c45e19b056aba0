"""A TCP proxy on loopback that holds every chunk of data for a fixed time in each direction, as
a link with that one-way delay would (bandwidth is not limited). For benchmarks only."""

import asyncio
import threading


class DelayProxy:
    """Listens on 127.0.0.1 (a free port each) in front of each target port, in a thread."""

    def __init__(self, target_ports, delay_seconds):
        self.delay = delay_seconds
        self.ports = {}
        self.loop = asyncio.new_event_loop()
        ready = threading.Event()
        self.thread = threading.Thread(target=self._run, args=(list(target_ports), ready), daemon=True)
        self.thread.start()
        ready.wait(10)

    def _run(self, targets, ready):
        asyncio.set_event_loop(self.loop)
        for target in targets:
            server = self.loop.run_until_complete(
                asyncio.start_server(lambda r, w, t=target: self._connect(r, w, t), "127.0.0.1", 0))
            self.ports[target] = server.sockets[0].getsockname()[1]
        ready.set()
        self.loop.run_forever()

    async def _connect(self, client_reader, client_writer, target):
        await asyncio.sleep(self.delay)  # the SYN's way there
        try:
            server_reader, server_writer = await asyncio.open_connection("127.0.0.1", target)
        except OSError:
            client_writer.close()
            return
        await asyncio.sleep(self.delay)  # the SYN-ACK's way back
        try:
            await asyncio.gather(self._pipe(client_reader, server_writer), self._pipe(server_reader, client_writer))
        except asyncio.CancelledError:
            pass

    async def _pipe(self, reader, writer):
        queue = asyncio.Queue()

        async def deliver():
            while True:
                due, data = await queue.get()
                wait = due - self.loop.time()
                if wait > 0:
                    await asyncio.sleep(wait)
                if data is None:
                    try:
                        writer.write_eof()
                    except OSError:
                        pass
                    return
                writer.write(data)
                try:
                    await writer.drain()
                except OSError:
                    return

        sender = asyncio.ensure_future(deliver())
        try:
            while True:
                data = await reader.read(65536)
                queue.put_nowait((self.loop.time() + self.delay, data or None))
                if not data:
                    break
        except OSError:
            queue.put_nowait((self.loop.time() + self.delay, None))
        await sender

    def stop(self):
        async def cancel_all():
            tasks = [t for t in asyncio.all_tasks() if t is not asyncio.current_task()]
            for task in tasks:
                task.cancel()
            await asyncio.gather(*tasks, return_exceptions=True)
            self.loop.stop()

        asyncio.run_coroutine_threadsafe(cancel_all(), self.loop)
        self.thread.join(5)
